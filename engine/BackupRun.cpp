#include "engine/BackupRun.h"

#include "engine/CopyPass.h"
#include "engine/DriveHold.h"
#include "engine/LogFile.h"
#include "engine/PlainRemoval.h"
#include "engine/RunStatus.h"
#include "engine/StateRecord.h"
#include "engine/Synchronisation.h"
#include "engine/VersionStore.h"

namespace kelvorin {

bool BackupRun::Run() {
    return RunSteps([this](RunContext& run, OldCopies& oldCopies, StateRecord* listing) {
        CopyPass(run, oldCopies, listing).Run();
        if (host_.SynchronTicked()) Synchronisation(run, oldCopies).Run();
    });
}

bool BackupRun::Repair(const std::vector<DamagedCopy>& copies) {
    return RunSteps([&](RunContext& run, OldCopies& oldCopies, StateRecord*) {
        CopyPass pass(run, oldCopies, nullptr);
        for (const DamagedCopy& copy : copies) {
            ++run.counts.filesToCheck;
            run.counts.bytesToCheck += copy.size;
        }
        if (!run.Cancelled()) run.ReportProgress(RunStep::CopiesBegin, {});
        for (const DamagedCopy& copy : copies) {
            if (!run.TakeTurnAndGoOn()) break;
            ++run.counts.filesChecked;
            pass.CopyAgain(copy.source, copy.backup);
        }
    });
}

bool BackupRun::RunSteps(const RunWork& work) {
    // Without a target there is no backup path: refused before anything changes.
    const DriveLetter drive = host_.TargetDrive();
    if (drive.IsNone()) return false;

    host_.BeginBusy();
    RunContext run(host_, fs_, flags_, drive);
    WorkOnTarget(run, work);
    counts_ = run.counts;
    results_ = run.results;

    const RunStatus status = RunStatusOf(run.results, flags_.cancelled);
    run.AddLogLine(LogKind::Status, std::u16string(RunStatusText(status)));
    run.AddLogLine(LogKind::DateTime, DateTimeLine(clock_));
    // A log that cannot be written is reported; the run still ends normally,
    // so the window never stays busy. A box about it waits for a person, so
    // it comes after the drive is free for a scheduled run.
    WriteLogFile(run.log);
    host_.Ended(status, run.log);
    host_.EndBusy();
    return true;
}

void BackupRun::WorkOnTarget(RunContext& run, const RunWork& work) {
    // Before anything touches the target, and held to the last step on it; a
    // close request during the wait leaves the drive alone and ends in "Abbruch".
    const DriveHold hold(fs_, run.target, host_, flags_);
    const int days = flags_.cancelled ? 0 : host_.VersionDays();
    const std::unique_ptr<OldCopies> oldCopies = MakeOldCopies(run, days);
    std::optional<StateRecord> listing;
    if (days > 0) listing.emplace(fs_, SpoolPath(run.target), fs_.LocalOffset());
    oldCopies->RunBegins();
    work(run, *oldCopies, listing ? &*listing : nullptr);
    // A cancelled run saw only part of the set: the previous state stays
    // whole, since what it replaced is in its run folder.
    const bool finished = !flags_.cancelled && run.ChangedBackup();
    oldCopies->RunEnds(finished && listing ? &*listing : nullptr);
}

std::u16string BackupRun::SpoolPath(DriveLetter target) const {
    if (spoolFolder_.empty()) return {};
    return spoolFolder_ + u"Kelvorin-Stand-" + target.Letter() + u".tmp";
}

std::unique_ptr<OldCopies> BackupRun::MakeOldCopies(RunContext& run, int days) {
    if (days <= 0) return std::make_unique<PlainRemoval>(fs_, [this] { host_.PumpMessages(); });
    return std::make_unique<VersionStore>(
        fs_, run.target, days, clock_.Now(),
        VersionStore::Events{
            .notRemoved = [&run](const std::u16string& folder) { run.ReportNotDeleted(folder); },
            .removedForRoom =
                [this](const std::u16string& folder) { host_.RunFolderRemovedForRoom(folder); },
            .onlyInStore =
                [&run](const std::u16string& kept) { run.AddLogLine(LogKind::OnlyInStore, kept); },
            .listingNotWritten =
                [&run](const std::u16string& listing) { run.ReportNotCopied(listing); },
            .keepResponsive = [this] { host_.KeepResponsive(); }});
}

void BackupRun::WriteLogFile(const std::vector<std::u16string>& log) {
    const std::u16string error = kelvorin::WriteLogFile(fs_, codePage_, LogFilePath(), log);
    if (!error.empty()) host_.LogFileFailed(error);
}

} // namespace kelvorin
