#include "app/win32/ConsoleRunHost.h"
#include "set/Text16.h"

#include "app/CmdTexts.h"
#include "engine/Texts.h"

#include <string>

namespace kelvorin {

void ConsoleRunHost::AddRunLogLine(const std::u16string& line) {
    // A preview changes nothing, so only the lines about missing folders are
    // worth showing; the status and the date belong to a real run.
    if (mode_ == Mode::Preview &&
        !(line.starts_with(kNotFoundLine) || line.starts_with(kNotDeletedLine) ||
          line.starts_with(kNotCopiedLine)))
        return;
    progress_.Clear();
    out_.WriteLine(line);
}

void ConsoleRunHost::SetFileCopyLabel(const std::u16string& text) {
    if (!counts_ || !progress_.Due()) return;
    progress_.Show(DecimalText(counts_->filesChecked) + texts::kProgressChecked +
                       DecimalText(counts_->filesCopied) + texts::kProgressCopied +
                       DecimalText(counts_->bytesCopied / (1024 * 1024)) +
                       texts::kProgressMegabytes,
                   text);
}

void ConsoleRunHost::EndBusy() {
    progress_.Clear();
}

void ConsoleRunHost::ShowRefusal(const std::u16string& text) {
    progress_.Clear();
    err_.WriteLine(text);
}

void ConsoleRunHost::ShowError(const std::u16string& text) {
    progress_.Clear();
    logWriteFailed_ = true;
    err_.WriteLine(text);
}

} // namespace kelvorin
