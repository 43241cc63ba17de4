#include "app/win32/ConsoleRunHost.h"
#include "set/Text16.h"

#include "app/CmdTexts.h"
#include "engine/Texts.h"

#include <string>

namespace kelvorin {

namespace {

// A progress line must fit the console's width, or it wraps and piles up.
constexpr std::size_t kProgressWidth = 78;

} // namespace

void ConsoleRunHost::AddRunLogLine(const std::u16string& line) {
    // A preview changes nothing, so only the lines about missing folders are
    // worth showing; the status and the date belong to a real run.
    if (mode_ == Mode::Preview &&
        !(line.starts_with(kNotFoundLine) || line.starts_with(kNotDeletedLine) ||
          line.starts_with(kNotCopiedLine)))
        return;
    ClearProgress();
    out_.WriteLine(line);
}

void ConsoleRunHost::SetFileCopyLabel(const std::u16string& text) {
    if (!err_.IsConsole() || !counts_) return;
    const std::uint64_t now = GetTickCount64();
    if (progressShown_ && now - lastProgress_ < 100) return;
    lastProgress_ = now;
    std::u16string line = DecimalText(counts_->filesChecked) + texts::kProgressChecked +
                          DecimalText(counts_->filesCopied) + texts::kProgressCopied +
                          DecimalText(counts_->bytesCopied / (1024 * 1024)) +
                          texts::kProgressMegabytes;
    const std::size_t room = kProgressWidth > line.size() ? kProgressWidth - line.size() : 0;
    line +=
        text.size() <= room ? text : u"..." + text.substr(text.size() - (room > 3 ? room - 3 : 0));
    line.resize(kProgressWidth, u' ');
    err_.Write(u"\r" + line);
    progressShown_ = true;
}

void ConsoleRunHost::EndBusy() {
    ClearProgress();
}

void ConsoleRunHost::ShowRefusal(const std::u16string& text) {
    ClearProgress();
    err_.WriteLine(text);
}

void ConsoleRunHost::ShowError(const std::u16string& text) {
    ClearProgress();
    logWriteFailed_ = true;
    err_.WriteLine(text);
}

void ConsoleRunHost::ClearProgress() {
    if (!progressShown_) return;
    err_.Write(u"\r" + std::u16string(kProgressWidth, u' ') + u"\r");
    progressShown_ = false;
}

} // namespace kelvorin
