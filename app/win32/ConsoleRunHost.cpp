#include "app/win32/ConsoleRunHost.h"
#include "set/Text16.h"

#include "app/CmdTexts.h"
#include "app/RunTexts.h"

#include <string>

namespace kelvorin {

void ConsoleRunHost::Logged(const RunLogLine& line) {
    // A preview changes nothing, so only its problem lines are worth showing;
    // the status and the date belong to a real run.
    if (mode_ == Mode::Preview && (line.kind == LogKind::Status || line.kind == LogKind::DateTime))
        return;
    progress_.Clear();
    out_.WriteLine(LogLineText(line));
}

void ConsoleRunHost::Progressed(const RunProgress& progress) {
    // The path in work is shown; a failure's line says the rest.
    if (progress.step != RunStep::EnteringFolder && progress.step != RunStep::Copying) return;
    if (!progress_.Due()) return;
    const RunCounts& counts = progress.counts;
    progress_.Show(DecimalText(counts.filesChecked) + texts::kProgressChecked +
                       DecimalText(counts.filesCopied) + texts::kProgressCopied +
                       DecimalText(counts.bytesCopied / (1024 * 1024)) + texts::kProgressMegabytes,
                   std::u16string(progress.path));
}

void ConsoleRunHost::LogFileFailed(const std::u16string& error) {
    progress_.Clear();
    logWriteFailed_ = true;
    err_.WriteLine(error);
}

void ConsoleRunHost::WaitingForOtherRun() {
    progress_.Clear();
    err_.WriteLine(texts::kWaitingForOtherRun + std::u16string(1, set_.Drive().Letter()) +
                   texts::kWaitingForOtherRunTail);
}

void ConsoleRunHost::RefuseFileOnTarget(const std::u16string& source) {
    progress_.Clear();
    err_.WriteLine(RefusalText(source));
}

void ConsoleRunHost::RunFolderRemovedForRoom(const std::u16string& folder) {
    progress_.Clear();
    err_.WriteLine(texts::kRemovedForRoom + folder);
}

} // namespace kelvorin
