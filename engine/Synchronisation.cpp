#include "engine/Synchronisation.h"

#include "engine/Paths.h"
#include "engine/SetFolder.h"
#include "engine/TreeWalk.h"
#include "set/PathOrder.h"

namespace kelvorin {
namespace {

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && SameFolded(text.substr(0, prefix.size()), prefix);
}

} // namespace

void Synchronisation::Run() {
    if (!run_.Cancelled()) run_.ReportProgress(RunStep::Synchronising, {});
    CollectSetFolders();
    ForEachBackupFolder([this](const std::u16string& backupFolder) {
        ScanBackupFiles(backupFolder);
        if (!run_.Cancelled()) run_.host.ShowWorkList();
        RetireOrphans();
    });
    ForEachBackupFolder([this](const std::u16string& backupFolder) {
        ListBackupDirs(backupFolder);
        if (!run_.Cancelled()) run_.host.ShowWorkList();
        RemoveEmptyDirs();
    });
    enteredFolders_.clear();
}

void Synchronisation::ForEachBackupFolder(const std::function<void(const std::u16string&)>& pass) {
    run_.ForEachSetFolder([&](std::size_t, const std::u16string& entry) {
        const std::u16string backupFolder = BackupPathOf(entry, run_.target);
        if (!IsSetFolderPresent(run_.files, entry)) {
            run_.AddLogLine(LogKind::NotDeleted, backupFolder);
            return;
        }
        // Its backup folder is the folder itself: every file has its source,
        // but the folder pass would remove the user's own empty folders.
        if (IsOnDrive(entry, run_.target)) return;
        sourceFolder_ = entry;
        pass(backupFolder);
    });
    sourceFolder_.clear();
}

void Synchronisation::CollectSetFolders() {
    setFolders_.clear();
    for (std::u16string entry : run_.setFolders) {
        if (!IsDrivePath(entry) || IsOnDrive(entry, run_.target)) continue;
        std::u16string prefix = SingleBackslashes(BackupPathOf(entry, run_.target));
        if (prefix.back() != u'\\') prefix += u'\\';
        const bool present = run_.files.IsExistingFolder(entry);
        setFolders_.push_back({std::move(entry), std::move(prefix), present});
    }
}

// Folders of different drives share their backup when their paths agree
// (C:\Daten and D:\Daten, or C:\Daten inside the backup of D:\). A backup file
// is another folder's as long as that folder has it as its source, or cannot
// be looked at now; deleting it then would destroy that folder's backup.
bool Synchronisation::ClaimedByAnotherFolder(const std::u16string& backup) const {
    const std::u16string path = SingleBackslashes(backup);
    for (const SetFolder& folder : setFolders_) {
        if (folder.entry == sourceFolder_ || !StartsWithNoCase(path, folder.backupPrefix)) continue;
        if (!folder.present) return true;
        std::u16string source = folder.entry;
        if (source.back() != u'\\') source += u'\\';
        source += std::u16string_view(path).substr(folder.backupPrefix.size());
        const PathState state = run_.files.StateOf(source);
        if (state == PathState::File || state == PathState::Unknown) return true;
        // A drive pulled during the run reads as "not found" everywhere: the
        // other folder's source is gone only while that folder is still there.
        if (state == PathState::Missing && !run_.files.IsExistingFolder(folder.entry)) return true;
    }
    return false;
}

void Synchronisation::ScanBackupFiles(const std::u16string& folder) {
    std::vector<std::u16string>& entered = enteredFolders_[folder];
    entered.clear();
    WalkTree(
        run_.files, folder,
        {.keepGoing = [this] { return run_.TakeTurnAndGoOn(); },
         .enterFolder =
             [this, &entered](const std::u16string& path) {
                 run_.ReportProgress(RunStep::EnteringFolder, path);
                 entered.push_back(path);
             },
         .seeEntry = {},
         .visitFile = [this](std::u16string path,
                             const FolderEntry&) { run_.host.WorkList().Add(std::move(path)); },
         .unreadable = {}});
}

void Synchronisation::RetireOrphans() {
    SortedList& work = run_.host.WorkList();
    const std::size_t count = work.Count();
    for (std::size_t i = 0; i < count; ++i) {
        if (!run_.TakeTurnAndGoOn()) continue;
        const std::u16string backup = work.At(i);
        if (!IsOrphan(backup)) continue;
        // Windows renames a read-only file that it would not delete: it stays,
        // as it would without versions, and no wait would change that.
        if (!run_.files.LookUp(backup).IsReadOnlyFile() && old_.Retire(backup))
            ++run_.counts.filesDeleted;
        else
            run_.ReportNotDeleted(backup);
    }
}

bool Synchronisation::IsOrphan(const std::u16string& backup) {
    // Only a source that is known to be gone, or has become a folder, lets
    // its backup go; "no access", "not ready" and the like keep it.
    // The drive letter as the set folder writes it: what the log names.
    std::u16string source = backup;
    source[0] = sourceFolder_[0];
    // Listed a moment ago by the copy pass: it is there.
    if (run_.listedSources.Contains(source)) return false;
    const PathState state = run_.files.StateOf(source);
    if (state != PathState::Missing && state != PathState::Folder) return false;
    // A drive or share that went away reads as "not found" for every path
    // on it: a missing source counts only while its set folder is there.
    if (!run_.files.IsExistingFolder(sourceFolder_)) return false;
    if (ClaimedByAnotherFolder(backup)) return false;
    // Its source may be a case twin's first, which the copy stands for.
    return !(state == PathState::Missing && run_.caseTwins.HasTwinOf(run_.files, source));
}

void Synchronisation::ListBackupDirs(const std::u16string& folder) {
    // Retiring files changes no folder of the backup (the store's name begins
    // with a dot, which no walk enters): the file pass's walk still holds,
    // and a second walk would list every file once more.
    const auto found = enteredFolders_.find(folder);
    if (found == enteredFolders_.end()) return;
    for (const std::u16string& entered : found->second) {
        if (!run_.TakeTurnAndGoOn()) return;
        run_.ReportProgress(RunStep::EnteringFolder, entered);
        if (entered != folder) run_.host.WorkList().Add(entered);
    }
}

void Synchronisation::RemoveEmptyDirs() {
    // The list is sorted and a folder sorts before everything inside it, so
    // from the end every folder comes after its subfolders: a chain of empty
    // folders goes in one pass, innermost first.
    SortedList& work = run_.host.WorkList();
    for (std::size_t i = work.Count(); i-- > 0;) {
        if (!run_.TakeTurnAndGoOn()) continue;
        if (run_.files.RemoveOneFolder(work.At(i))) ++run_.counts.foldersRemoved;
    }
}

} // namespace kelvorin
