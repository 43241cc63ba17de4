#pragma once
// The versions on the target drive: what a run replaces or removes of the
// backup is moved, not deleted, into a folder of its own for that run (see
// StoredRuns.h). A run folder lives for the keep time, counted from the date
// in its name: copying a stick resets the stamps. The store's name begins
// with a dot, so no walk of the engine enters it.
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "engine/OldCopies.h"
#include "engine/PlainRemoval.h"
#include "engine/StateRecord.h"
#include "engine/StorePruning.h"
#include "engine/StoredRuns.h"
#include "set/DriveLetter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvorin {

// What became of a backup that a run wanted to move into the store.
enum class KeepOutcome {
    Kept,
    // This run's folder holds the path already: the backup in place is a copy
    // that this run made a moment ago, and keeping it again would lose the first.
    KeptBefore,
    Failed,
    DriveFull,
};

// Owns the store's rules: the run folder's name, the one version per path and
// run, and the listing; pruning is StorePruning's.
class VersionStore : public OldCopies {
public:
    struct Events {
        std::function<void(const std::u16string& folder)> notRemoved;
        std::function<void(const std::u16string& folder)> removedForRoom;
        // A previous copy that could not go back in place after a failed
        // replace: it is only in the store now, at this path.
        std::function<void(const std::u16string& kept)> onlyInStore;
        // The run's listing could not be written: no restore offers its state.
        std::function<void(const std::u16string& listing)> listingNotWritten;
        // Called for every entry listed or removed, and between tries of a
        // held file: a store of many runs on a slow stick takes seconds to
        // prune, and the window must answer meanwhile.
        std::function<void()> keepResponsive;
    };

    VersionStore(FileServices& files, DriveLetter drive, int keepDays, const LocalTime& runStart,
                 Events events);

    // Removes leftovers of listings a killed run did not finish, and prunes by age.
    void RunBegins() override;
    // Writes the listing of a run that changed the backup and went through;
    // then removes the oldest run folders while the drive has no room for a
    // run: the store never keeps "Sichern" disabled.
    void RunEnds(StateRecord* finished) override;
    // At every moment the previous copy or the new one is in place or in the
    // store: a kill between the two renames loses nothing.
    CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                           bool replaces) override;
    // Always into the store: a path that this run kept already goes into a
    // further folder of this run, named as the next run of its second.
    bool Retire(const std::u16string& backup) override;
    bool MakeRoomFor(std::int64_t bytes) override;

    // Moves a backup file into this run's folder, made when first needed.
    // Unless Kept, the file is where it was.
    KeepOutcome MoveIntoStore(const std::u16string& backup);
    // Moves a version kept by this run back to its place, when the new copy
    // could not take it.
    bool PutBack(const std::u16string& backup);
    // Where MoveIntoStore put the backup.
    std::u16string PathInStore(const std::u16string& backup) const;

    void PruneByAge();
    // Removes the oldest run folder but this run's; false when none is left.
    bool PruneOldest();

    std::u16string StorePath() const { return StorePathOf(drive_); }

private:
    // A store that is a link or junction leads off the stick: never used.
    bool Usable();
    // The first name for this run that neither a run folder nor a listing
    // bears; empty when none can be told.
    std::u16string FreeRunName();
    // This run's n-th folder (from 0), made when missing.
    KeepOutcome MakeRunFolder(std::size_t n);
    KeepOutcome MoveInto(std::size_t folder, const std::u16string& backup);
    void WriteListing(StateRecord& state);
    void RemovePartialListings();

    FileServices& files_;
    DriveLetter drive_;
    int keepDays_;
    LocalTime runStart_;
    Events events_;
    StorePruning pruning_;
    // What goes without versions: a path this run has kept already.
    PlainRemoval plain_;
    std::optional<bool> usable_; // asked once per run; false once the run folder cannot be made
    std::vector<std::u16string> runFolders_; // this run's, made as needed; the first is its own
    std::u16string madeFolder_;              // the last folder of the store made for a keep
    // How many of this run's folders hold a path, by case-blind path.
    std::unordered_map<std::u16string, std::size_t> kept_;
};

} // namespace kelvorin
