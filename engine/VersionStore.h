#pragma once
// The versions on the target drive: what a run replaces or removes of the
// backup is moved, not deleted, into a folder of its own for that run,
// <T>:\.Kelvorin-Versionen\<JJJJ-MM-TT hh.mm.ss>\<backup path without drive>.
// A run folder lives for the keep time, counted from the date in its name:
// copying a stick resets the stamps. The store's name begins with a dot, so
// no walk of the engine enters it.
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "engine/OldCopies.h"
#include "engine/PlainRemoval.h"
#include "engine/StateListing.h"
#include "set/DriveLetter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace kelvorin {

// A run folder's name for a run that started at t, without a suffix.
std::u16string RunFolderName(const LocalTime& t);
// The second in local time that a run folder's name gives (" (2)" and the
// like allowed), counted from a fixed day; nullopt for any other name.
std::optional<std::int64_t> RunFolderMoment(std::u16string_view name);
std::int64_t MomentOf(const LocalTime& t);

// A run's part of the store: its folder, its listing, or both. A listing goes
// with its folder, and one alone ages by its name too.
struct StoredRun {
    std::int64_t moment;
    int number; // within its second: 1, or n for " (n)"
    std::u16string name;
    bool hasFolder = false;
    std::optional<std::uint64_t> listingBytes; // when there is a listing
    bool operator<(const StoredRun& o) const {
        return moment != o.moment ? moment < o.moment : number < o.number;
    }
};

std::u16string StorePathOf(DriveLetter drive);
// Where a run kept a backup's version.
std::u16string VersionPath(DriveLetter drive, std::u16string_view runName,
                           std::u16string_view backup);
std::u16string ListingPath(DriveLetter drive, std::u16string_view runName);
// The runs of the store, oldest first; `visit` is called for every entry listed.
std::vector<StoredRun> ListStoredRuns(FileServices& files, DriveLetter drive,
                                      const std::function<void()>& visit);

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
// run, pruning by age, and room made from the oldest runs.
class VersionStore : public OldCopies {
public:
    struct Events {
        // A run folder that cannot be removed.
        std::function<void(const std::u16string& folder)> notRemoved;
        // A run folder removed to make room, before its keep time ran out.
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

    // Prunes by age.
    void RunBegins() override;
    // Writes the listing of a run that changed the backup and went through;
    // then removes the oldest run folders while the drive has no room for a
    // run: the store never keeps "Sichern" disabled.
    void RunEnds(StateRecord* finished) override;
    // At every moment the previous copy or the new one is in place or in the
    // store: a kill between the two renames loses nothing.
    CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                           bool replaces) override;
    bool Retire(const std::u16string& backup) override;

    // Moves a backup file into this run's folder, made when first needed.
    // Unless Kept, the file is where it was.
    KeepOutcome MoveIntoStore(const std::u16string& backup);
    // Moves a version kept by this run back to its place, when the new copy
    // could not take it.
    bool PutBack(const std::u16string& backup);
    // Where Keep put the backup.
    std::u16string PathInStore(const std::u16string& backup) const;

    // Removes the run folders older than the keep time. The age counts from
    // the run's start or from the newest other run folder, whichever is
    // earlier: a clock set years ahead removes nothing the keep time holds.
    void PruneByAge();
    // Removes the oldest run folders, as many as a file of `bytes` needs to
    // fit, when the free space and all of them together can take it; else
    // none. True when the file may now fit.
    bool MakeRoomFor(std::int64_t bytes) override;
    // Removes the oldest run folder but this run's; false when none is left.
    bool PruneOldest();

    std::u16string StorePath() const;

private:
    using RunFolder = StoredRun;
    // A store that is a link or junction leads off the stick: never used.
    bool Usable();
    std::vector<RunFolder> OtherRunFolders();
    // The first name for this run that neither a run folder nor a listing
    // bears; empty when none can be told.
    std::u16string FreeRunName();
    KeepOutcome MakeRunFolder();
    void WriteListing(StateRecord& state);
    // Leftovers of listings that a killed run did not finish.
    void RemovePartialListings();
    // Bytes of the files below the folder.
    std::int64_t TreeBytes(const std::u16string& folder);
    std::int64_t Bytes(const RunFolder& run);
    // Every file and folder below and the folder itself; false when any stays.
    bool RemoveTree(const std::u16string& folder);
    bool Remove(const RunFolder& folder);
    bool RemoveForRoom(const RunFolder& folder);

    FileServices& files_;
    DriveLetter drive_;
    int keepDays_;
    LocalTime runStart_;
    Events events_;
    // What goes without versions: a path this run has kept already.
    PlainRemoval plain_;
    std::optional<bool> usable_;   // asked once per run; false once the run folder cannot be made
    std::u16string runFolderName_; // empty until this run keeps something
    std::u16string madeFolder_;    // the last folder of the store made for a keep
    std::set<std::u16string> failed_;         // run folders that would not go
    std::unordered_set<std::u16string> kept_; // what this run kept, by case-blind path
};

} // namespace kelvorin
