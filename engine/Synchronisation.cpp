// The file pass and the folder pass of "Synchron": take out of the backup what
// has gone from the source. A backup file goes only when its source is known to
// be gone; a source that cannot be looked at keeps its backup.
#include "engine/BackupRun.h"
#include "engine/Paths.h"
#include "engine/Texts.h"
#include "engine/TreeWalk.h"
#include "set/PathOrder.h"

namespace kelvorin {
namespace {

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
    return true;
}

} // namespace

void BackupRun::CollectSyncFolders() {
    syncFolders_.clear();
    for (std::u16string entry : setFolders_) {
        if (!IsDrivePath(entry) || DriveOf(entry) == flags_.targetDrive) continue;
        std::u16string prefix = SingleBackslashes(WithDrive(entry, flags_.targetDrive.Letter()));
        if (prefix.back() != u'\\') prefix += u'\\';
        const bool present = fs_.IsExistingFolder(entry);
        syncFolders_.push_back({std::move(entry), std::move(prefix), present});
    }
}

// Folders of different drives share their backup when their paths agree
// (C:\Daten and D:\Daten, or C:\Daten inside the backup of D:\). A backup file
// is another folder's as long as that folder has it as its source, or cannot
// be looked at now; deleting it then would destroy that folder's backup.
bool BackupRun::ClaimedByAnotherFolder(const std::u16string& backup) const {
    const std::u16string path = SingleBackslashes(backup);
    for (const SetFolder& folder : syncFolders_) {
        if (folder.entry == syncSourceFolder_ || !StartsWithNoCase(path, folder.backupPrefix))
            continue;
        if (!folder.present) return true;
        std::u16string source = folder.entry;
        if (source.back() != u'\\') source += u'\\';
        source += std::u16string_view(path).substr(folder.backupPrefix.size());
        const PathState state = fs_.Probe(source);
        if (state == PathState::File || state == PathState::Unknown) return true;
        // A drive pulled during the run reads as "not found" everywhere: the
        // other folder's source is gone only while that folder is still there.
        if (state == PathState::Missing && !fs_.IsExistingFolder(folder.entry)) return true;
    }
    return false;
}

void BackupRun::SynchronisePasses() {
    CollectSyncFolders();
    const auto pass = [this](void (BackupRun::*scan)(const std::u16string&),
                             void (BackupRun::*work)()) {
        ForEachSetFolder([&](const std::u16string& entry) {
            const std::u16string backupFolder = WithDrive(entry, flags_.targetDrive.Letter());

            // Anything but a drive path (empty, UNC, relative) would be looked
            // up relative to whatever folder is current: it counts as missing.
            if (!IsDrivePath(entry) || !fs_.IsExistingFolder(entry)) {
                AddLogLine(LogKind::NotDeleted, backupFolder);
                return;
            }
            // Its backup folder is the folder itself: every file has its
            // source, but the folder pass would remove the user's own empty
            // folders.
            if (DriveOf(entry) == flags_.targetDrive) return;

            flags_.sourceDrive = entry[0];
            syncSourceFolder_ = entry;
            (this->*scan)(backupFolder);
            if (!flags_.cancelled) host_.ShowWorkList();
            (this->*work)();
        });
        syncSourceFolder_.clear();
    };
    pass(&BackupRun::ScanBackupFiles, &BackupRun::DeleteOrphans);
    pass(&BackupRun::ScanBackupDirs, &BackupRun::RemoveEmptyDirs);
}

void BackupRun::ScanBackupFiles(const std::u16string& folder) {
    WalkTree(fs_, folder,
             {.keepGoing = [this] { return KeepGoing(); },
              .enterFolder =
                  [this](const std::u16string& entered) {
                      ReportProgress(RunStep::EnteringFolder, entered);
                  },
              .seeEntry = {},
              .visitFile = [this](std::u16string path,
                                  const FolderEntry&) { host_.WorkList().Add(std::move(path)); }});
}

void BackupRun::DeleteOrphans() {
    SortedList& work = host_.WorkList();
    const std::size_t count = work.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (!KeepGoing()) continue;
        const std::u16string backup = work.At(i);
        // Only a source that is known to be gone, or has become a folder, lets
        // its backup go; "no access", "not ready" and the like keep it.
        const PathState source = fs_.Probe(WithDrive(backup, flags_.sourceDrive));
        if (source != PathState::Missing && source != PathState::Folder) continue;
        // A drive or share that went away reads as "not found" for every path
        // on it: a missing source counts only while its set folder is there.
        if (!fs_.IsExistingFolder(syncSourceFolder_)) continue;
        if (ClaimedByAnotherFolder(backup)) continue;
        // Its source may be a case twin's first, which the copy stands for.
        if (source == PathState::Missing && HasCaseTwinOf(WithDrive(backup, flags_.sourceDrive)))
            continue;

        if (TakeOutOfBackup(backup))
            ++counts_.filesDeleted;
        else
            ReportNotDeleted(backup);
    }
}

bool BackupRun::TakeOutOfBackup(const std::u16string& backup) {
    // Windows renames a read-only file that it would not delete: it stays,
    // as it would without versions, and no wait would change that.
    if (fs_.LookUp(backup).IsReadOnlyFile()) return false;
    if (!versions_) return DeleteFromBackup(backup);
    switch (versions_->Keep(backup)) {
    case KeepOutcome::Kept:
        return true;
    case KeepOutcome::KeptBefore: // this run's own copy of another set folder's file
        return DeleteFromBackup(backup);
    case KeepOutcome::Failed:
    case KeepOutcome::DriveFull:
        break;
    }
    return false;
}

bool BackupRun::DeleteFromBackup(const std::u16string& backup) {
    return RetryWhileHeld([&] { return fs_.DeleteOneFile(backup); });
}

void BackupRun::ScanBackupDirs(const std::u16string& folder) {
    WalkTree(fs_, folder,
             {.keepGoing = [this] { return KeepGoing(); },
              .enterFolder =
                  [this, &folder](const std::u16string& entered) {
                      ReportProgress(RunStep::EnteringFolder, entered);
                      if (entered != folder) host_.WorkList().Add(entered);
                  },
              .seeEntry = {},
              .visitFile = {}});
}

void BackupRun::RemoveEmptyDirs() {
    // The list is sorted and a folder sorts before everything inside it, so
    // from the end every folder comes after its subfolders: a chain of empty
    // folders goes in one pass, innermost first.
    SortedList& work = host_.WorkList();
    for (std::size_t i = work.Count(); i-- > 0;) {
        if (!KeepGoing()) continue;
        if (fs_.RemoveOneFolder(work.At(i))) ++counts_.foldersRemoved;
    }
}

} // namespace kelvorin
