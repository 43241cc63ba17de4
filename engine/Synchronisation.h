#pragma once
// "Synchron": the file pass and the folder pass take out of the backup what
// has gone from the source. A backup file goes only when its source is known
// to be gone; a source that cannot be looked at keeps its backup.
#include "engine/OldCopies.h"
#include "engine/RunContext.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvorin {

class Synchronisation {
public:
    Synchronisation(RunContext& run, OldCopies& oldCopies) : run_(run), old_(oldCopies) {}

    // The file pass, then the folder pass, each over every folder of the set.
    void Run();

private:
    // The pass's work for the backup folder of each set folder that is there
    // and not on the target drive itself.
    void ForEachBackupFolder(const std::function<void(const std::u16string&)>& pass);
    void ScanBackupFiles(const std::u16string& folder);
    void RetireOrphans();
    // Whether the backup's source is known to be gone, and the backup no
    // other set folder's.
    bool IsOrphan(const std::u16string& backup);
    // The folders below the backup folder that its file pass entered.
    void ListBackupDirs(const std::u16string& folder);
    void RemoveEmptyDirs();

    // The other folders of the set whose backups share the target drive.
    struct SetFolder {
        std::u16string entry;
        std::u16string backupPrefix; // backup folder, single backslashes, ending with one
        bool present;
    };
    void CollectSetFolders();
    bool ClaimedByAnotherFolder(const std::u16string& backup) const;

    RunContext& run_;
    OldCopies& old_;
    std::vector<SetFolder> setFolders_;
    // The set's folder whose backup a pass works on.
    std::u16string sourceFolder_;
    // Per backup folder, in the order its file pass's walk entered them.
    std::unordered_map<std::u16string, std::vector<std::u16string>> enteredFolders_;
};

} // namespace kelvorin
