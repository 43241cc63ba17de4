// The backup run: the steps around the copy pass and the synchronisation.
#include "engine/BackupRun.h"

#include "engine/LogFile.h"
#include "engine/Paths.h"
#include "engine/RunStatus.h"
#include "engine/Texts.h"

namespace kelvorin {

bool BackupRun::Run() {
    return RunSteps([this] {
        CopyPass();
        if (host_.SynchronTicked()) SynchronisePasses();
    });
}

bool BackupRun::Repair(const std::vector<DamagedCopy>& copies) {
    return RunSteps([&] {
        for (const DamagedCopy& copy : copies) {
            if (!KeepGoing()) break;
            ++counts_.filesChecked;
            CopyOneFile(copy.source, copy.backup);
        }
    });
}

bool BackupRun::RunSteps(const std::function<void()>& work) {
    // Without a target there is no backup path: refused before anything changes.
    const DriveLetter drive = host_.TargetDrive();
    if (drive.IsNone()) return false;

    host_.BeginBusy();
    runLog_.clear();
    flags_.copyFailed = false;
    flags_.deleteFailed = false;
    flags_.targetDrive = drive;
    counts_ = {};
    fatTarget_.reset();
    twinFolders_.clear();
    // Read once: every pass works on the folders as they were at the start.
    setFolders_.clear();
    for (std::size_t i = 0, count = host_.FolderCount(); i < count; ++i)
        setFolders_.push_back(host_.Folder(i));

    versions_.reset();
    if (const int days = host_.VersionDays(); days > 0) {
        versions_.emplace(
            fs_, flags_.targetDrive, days, clock_.Now(),
            VersionStore::Events{
                .notRemoved = [this](const std::u16string& folder) { ReportNotDeleted(folder); },
                .removedForRoom =
                    [this](const std::u16string& folder) { host_.RunFolderRemovedForRoom(folder); },
                .keepResponsive = [this] { host_.KeepResponsive(); }});
        versions_->PruneByAge();
    }

    work();
    if (versions_) KeepSpaceForNextRun();
    versions_.reset();

    const RunStatus status = RunStatusOf(flags_);
    AddLogLine(LogKind::Status, std::u16string(RunStatusText(status)));
    AddLogLine(LogKind::DateTime, DateTimeLine(clock_));
    // A log that cannot be written is reported; the run still ends normally,
    // so the window never stays busy.
    WriteLogFile();
    host_.Ended(status, runLog_);
    host_.EndBusy();
    return true;
}

void BackupRun::ForEachSetFolder(const std::function<void(const std::u16string&)>& work) {
    // A cancelled run skips every folder that is left.
    for (std::size_t i = 0; i < setFolders_.size(); ++i) {
        if (flags_.cancelled) continue;
        host_.SelectFolder(i);
        host_.ClearWorkList();
        work(setFolders_[i]);
    }
}

void BackupRun::CopyPass() {
    ForEachSetFolder([this](const std::u16string& entry) {
        // Anything but a drive path (empty, UNC, relative) would be taken
        // relative to the current folder, and its backup path would be nonsense.
        if (IsDrivePath(entry) && fs_.IsExistingFolder(entry)) {
            ScanSourceTree(entry);
            // A cancelled walk leaves a partial list that is skipped anyway.
            if (!flags_.cancelled) host_.ShowWorkList();
            CopyNewerFiles();
        } else {
            AddLogLine(LogKind::NotFound, entry);
        }
    });
}

void BackupRun::KeepSpaceForNextRun() {
    constexpr std::int64_t kLeastFreeBytes = 1'000'000;
    for (;;) {
        const std::int64_t free = fs_.FreeBytesOnDrive(flags_.targetDrive);
        if (free < 0 || free > kLeastFreeBytes || !versions_->PruneOldest()) return;
    }
}

void BackupRun::ReportNotDeleted(const std::u16string& path) {
    AddLogLine(LogKind::NotDeleted, path);
    flags_.deleteFailed = true;
    ReportProgress(RunStep::NotDeleted, path);
}

bool BackupRun::KeepGoing() {
    if (flags_.cancelled) return false;
    host_.KeepResponsive();
    return !flags_.cancelled;
}

void BackupRun::ReportProgress(RunStep step, std::u16string_view path) {
    host_.Progressed({step, path, counts_});
}

void BackupRun::AddLogLine(LogKind kind, std::u16string subject) {
    RunLogLine line{kind, std::move(subject)};
    host_.Logged(line);
    runLog_.push_back(LogLineText(line));
}

void BackupRun::WriteLogFile() {
    const std::u16string error = kelvorin::WriteLogFile(fs_, codePage_, LogFilePath(), runLog_);
    if (!error.empty()) host_.LogFileFailed(error);
}

} // namespace kelvorin
