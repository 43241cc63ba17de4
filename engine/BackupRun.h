#pragma once
// The backup run: copy pass over every folder of the set, then, with
// "Synchron", the file pass and the folder pass.
#include "engine/BackupCheck.h"
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "engine/RunFlags.h"
#include "engine/RunHost.h"
#include "engine/VersionStore.h"
#include "set/CodePage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

namespace kelvorin {

struct RunPlatform {
    FileServices& files;
    CodePage& codePage;
    LocalClock& clock;
};

class BackupRun {
public:
    BackupRun(RunHost& host, RunPlatform platform, RunFlags& flags, std::u16string dataDir)
        : host_(host), fs_(platform.files), codePage_(platform.codePage), clock_(platform.clock),
          flags_(flags), dataDir_(std::move(dataDir)) {}

    // The whole run. Returns false when it was refused (no target drive).
    bool Run();
    // A run that copies only the given files again, through the same
    // fail-safe copy, with its log: for copies a check found damaged.
    bool Repair(const std::vector<DamagedCopy>& copies);

    // Copy pass for one folder.
    void ScanSourceTree(const std::u16string& folder);
    void CopyNewerFiles();
    void CopyOneFile(const std::u16string& source, const std::u16string& backup);

    // Synchronisation for one folder.
    void ScanBackupFiles(const std::u16string& folder);
    void DeleteOrphans();
    void ScanBackupDirs(const std::u16string& folder);
    void RemoveEmptyDirs();

    const RunCounts& Counts() const { return counts_; }
    std::u16string LogFilePath() const { return dataDir_ + u"Kelvorin.log"; }

private:
    // The steps around a run's work: busy, log, status, log file.
    bool RunSteps(const std::function<void()>& work);
    // Steps shared by every pass: each folder of the set in turn, selected,
    // with the work list cleared.
    void ForEachSetFolder(const std::function<void(const std::u16string&)>& work);
    void CopyPass();
    void SynchronisePasses();
    // Adds a line to the run log and tells the host.
    void AddLogLine(LogKind kind, std::u16string subject);
    void ReportProgress(RunStep step, std::u16string_view path);
    // Gives the window its turn; false once the run is cancelled, before or
    // during it: from then on nothing more is done.
    bool KeepGoing();
    void WalkSourceFolder(const std::u16string& folder);
    // What the copy pass already knows of the copy: looking again costs a
    // directory scan per file on file systems that ignore case.
    enum class CopyState { MayExist, Missing };
    // A copy stopped by a close request is no failure: the status says "Abbruch".
    enum class CopyOutcome { Copied, Failed, DriveFull, Cancelled };
    void CopyMissingFile(const std::u16string& source, const std::u16string& backup);
    void CopyAndReport(const std::u16string& source, const std::u16string& backup, CopyState state);
    // Writes a partial copy beside the backup and puts it in place only when
    // complete and on the drive; otherwise the previous copy stays as it was.
    // Tells the source's size, -1 before it is known.
    CopyOutcome CopyThroughPartialFile(const std::u16string& source, const std::u16string& backup,
                                       CopyState state, std::int64_t& size);
    // The partial copy, made empty; its folder is made when missing.
    FileServices::Handle CreatePartialCopy(const std::u16string& partial, CopyOutcome& failure);
    // A file too large for the target's file system is refused before a byte
    // is written; the name is asked once per run, when such a file comes.
    bool TooLargeForTarget(std::int64_t size);
    // The complete partial copy takes the backup's place, tried again while
    // a file is held for a moment; a previous copy goes into the store at
    // that moment, when versions are kept.
    CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                           bool replaces);
    // Replaces the backup by the partial copy, without keeping it.
    bool ReplaceInPlace(const std::u16string& partial, const std::u16string& backup);
    // An orphan leaves the backup: into the store, or deleted without versions.
    bool TakeOutOfBackup(const std::u16string& backup);
    bool DeleteFromBackup(const std::u16string& backup);
    bool RetryWhileHeld(const std::function<bool()>& step);
    // A source whose name the target takes for the one before it in the work
    // list: its copy would be the other's.
    bool IsCaseTwin(const std::u16string& source, const std::u16string& previous);
    // The source folder holds a name that the target takes for this one's.
    bool HasCaseTwinOf(const std::u16string& source);
    void ReportNotDeleted(const std::u16string& path);
    // The oldest versions go while the target drive is too full for the
    // readiness check: the store never keeps "Sichern" disabled.
    void KeepSpaceForNextRun();
    void WriteLogFile();

    RunHost& host_;
    FileServices& fs_;
    CodePage& codePage_;
    LocalClock& clock_;
    RunFlags& flags_;
    std::u16string dataDir_;
    std::vector<std::u16string> runLog_;
    std::vector<std::u16string> setFolders_; // the set's folders, read at the start
    std::vector<std::u16string> exclusions_;
    std::optional<VersionStore> versions_; // while the run keeps versions
    // The last walk found no name that a partial copy may bear, and no two
    // names of a folder that a file system ignoring case may take for one.
    bool plainTree_ = false;
    std::optional<bool> fatTarget_; // asked once per run
    // Source folders, case-blind, in which the copy pass found case twins.
    std::unordered_set<std::u16string> twinFolders_;
    RunCounts counts_;
    // The set's folder whose backup a synchronisation pass works on.
    std::u16string syncSourceFolder_;
    // The other folders of the set whose backups share the target drive.
    struct SetFolder {
        std::u16string entry;
        std::u16string backupPrefix; // backup folder, single backslashes, ending with one
        bool present;
    };
    std::vector<SetFolder> syncFolders_;
    bool ClaimedByAnotherFolder(const std::u16string& backup) const;
    void CollectSyncFolders();
};

} // namespace kelvorin
