#pragma once
// The copy pass: every set folder's source tree walked, so that the whole is
// known before the first copy; then, folder by folder, its files in the work
// list and every one copied whose backup is missing or older.
#include "engine/OldCopies.h"
#include "engine/PlainTree.h"
#include "engine/RunContext.h"
#include "engine/SafeCopy.h"
#include "engine/StateRecord.h"

#include <string>
#include <vector>

namespace kelvorin {

class CopyPass {
public:
    // listing: what the backup holds after the pass is recorded there; null
    // when the run keeps no versions, and so no states.
    CopyPass(RunContext& run, OldCopies& oldCopies, StateRecord* listing)
        : run_(run), old_(oldCopies), listing_(listing), safeCopy_(run, oldCopies) {}

    // Every folder of the set in turn.
    void Run();
    // The file copied again whatever its backup's stamp: a repair.
    void CopyAgain(const std::u16string& source, const std::u16string& backup);

private:
    // What the walk of a set folder found, kept until its copies.
    struct WalkedFolder {
        bool present = false;
        bool plain = false;
        SortedList files;
        std::vector<std::u16string> unreadable; // folders it could not list
        std::uint64_t bytesThrough = 0;         // of this folder and those before it
    };
    std::vector<WalkedFolder> WalkSetFolders();
    void ScanSourceTree(const std::u16string& folder, WalkedFolder& walked);
    void CopyNewerFiles();
    // A file on the target drive itself is refused, a case twin not copied;
    // true for a file that may be copied.
    bool MayCopy(const std::u16string& source, const std::u16string& previous);
    // Copies and reports it; on a full drive, once more when the old copies
    // could make room. The copy's stamp and size when it is in place.
    std::optional<FileFacts> CopyAndReport(const std::u16string& source,
                                           const std::u16string& backup, CopyState state);
    // What the backup holds of the source after the pass, for the listing:
    // each file in the pass of the deepest set folder that holds it.
    void Record(const std::u16string& source, const std::optional<FileFacts>& copy);
    bool ListedByDeeperFolder(std::u16string_view path) const;

    RunContext& run_;
    OldCopies& old_;
    StateRecord* listing_;
    SafeCopy safeCopy_;
    PlainTreeWatch plainTree_; // of the walk in work
    bool plain_ = false;       // the tree of the files in work
    std::vector<std::u16string> exclusions_;
    bool recording_ = false;             // the pass in work goes into the listing
    std::vector<std::u16string> deeper_; // set folders below the one in pass
};

} // namespace kelvorin
