#include "app/win32/ConsoleRunHost.h"

#include "app/CmdTexts.h"
#include "app/ProgressLine.h"
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

// The files found while the walks go, then how far the copies are, then what
// "Synchron" has deleted; the path in work beside. A failure's line says the rest.
void ConsoleRunHost::Progressed(const RunProgress& progress) {
    const RunCounts& counts = progress.counts;
    switch (progress.step) {
    case RunStep::CopiesBegin:
        progress_.Begin({counts.filesToCheck, counts.bytesToCheck});
        return;
    case RunStep::Synchronising:
        synchronising_ = true;
        return;
    case RunStep::CopyFailed:
    case RunStep::NotDeleted:
        return;
    case RunStep::EnteringFolder:
    case RunStep::CopyIsCurrent:
    case RunStep::Copying:
    case RunStep::Writing:
        break;
    }
    if (!synchronising_ && progress_.Begun()) {
        progress_.ShowDone({counts.filesChecked, counts.bytesChecked}, progress.path);
        return;
    }
    if (!progress_.Due()) return;
    progress_.Show(synchronising_
                       ? texts::kProgressSynchron + GroupedText(counts.filesDeleted) +
                             texts::kProgressDeleted + u"  "
                       : GroupedText(counts.filesToCheck) + texts::kProgressFound + u"  ",
                   progress.path);
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
