#pragma once
// Back to a run: the set's folders as the store's listings say the backup
// held them after that run, written into an empty folder, from the mirror
// where its copy is still the listed one, else from the versions of later
// runs. Nothing on the stick changes. The listings are read line by line and
// never held: a long history costs time to list, not memory.
#include "engine/FileServices.h"
#include "engine/ListingFormat.h"
#include "engine/StoredRuns.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin {

// A listing of the store whose head and end read whole.
struct StoredState {
    StoredRun run;
    ListingHead head;
};

// What a restore reads of the store: every run folder, where versions are,
// and the head of every state, oldest first. A run whose listing was never
// finished offers no state, but its folder still holds what it replaced.
struct StoreContents {
    std::vector<StoredRun> runs;
    std::vector<StoredState> states;
    std::vector<std::u16string> damaged; // the names of runs whose listing is damaged
};
StoreContents ReadStore(FileServices& files, DriveLetter target);

// Whether the listing covers any of the set's folders: a state of the set.
bool CoversAnyOf(const ListingHead& head, const std::vector<std::u16string>& setFolders);

// One set folder of a restore, from the listing of the latest run that
// started at or before the moment and covers it. Each file comes from the
// deepest set folder that holds it.
struct RestorePart {
    std::u16string folder;
    std::vector<std::u16string> deeper; // set folders below it, restored on their own
    const StoredState* state;
};

struct RestorePlan {
    std::vector<RestorePart> parts;
    // Only these source files and folders, each with all below it; empty for all.
    std::vector<std::u16string> only;
};

// From the heads alone; nullopt when no folder has a state at the moment.
std::optional<RestorePlan> PlanRestore(const StoreContents& store,
                                       const std::vector<std::u16string>& setFolders,
                                       std::int64_t moment,
                                       const std::vector<std::u16string>& only = {});
// The same, after every listing it chose was read whole: a damaged one is
// taken out of the store, named in `damaged`, and the plan made again.
std::optional<RestorePlan> PlanCheckedRestore(FileServices& files, DriveLetter target,
                                              StoreContents& store,
                                              const std::vector<std::u16string>& setFolders,
                                              std::int64_t moment,
                                              const std::vector<std::u16string>& only = {});

struct RestoreTotals {
    std::uint64_t files = 0, bytes = 0;
};
// What the plan writes, from the heads where they tell it; nullopt when a
// listing it had to read is damaged.
std::optional<RestoreTotals> CountRestore(FileServices& files, DriveLetter target,
                                          const RestorePlan& plan);

// One file of a state: its copy as the listing of that run tells it.
struct PlannedFile {
    std::u16string source;
    ListedCopy copy;
    const StoredRun* run;
};
// Each file of the plan in turn, until `visit` says false; false when a
// listing could not be read whole.
bool ForEachPlannedFile(FileServices& files, DriveLetter target, const RestorePlan& plan,
                        const std::function<bool(const PlannedFile&)>& visit);
// The folders that the runs of the plan could not read.
std::vector<std::u16string> PlannedGaps(const RestorePlan& plan);

// Where the bytes of a planned file are now: the mirror's copy when it is the
// listed one, else the oldest version from that run on; empty when none is.
std::u16string WhereBytesAre(FileServices& files, DriveLetter target,
                             const std::vector<StoredRun>& runs, const PlannedFile& file);

// One version of a source file: its copy as the first state that lists it
// tells it, and whether the stick still holds those bytes.
struct FileVersion {
    const StoredRun* run;
    ListedCopy copy;
    bool onStick;
};
// Every distinct version (by size and stamp) that the set's states list of
// the file, oldest first. A damaged listing offers none.
std::vector<FileVersion> VersionsOf(FileServices& files, DriveLetter target,
                                    const StoreContents& store,
                                    const std::vector<std::u16string>& setFolders,
                                    const std::u16string& source);

// Where a source file goes below the folder: "C:\a\x.txt" to "<folder>\C\a\x.txt".
std::u16string RestoredPath(std::u16string_view folder, std::u16string_view source);

struct RestoreProgress {
    const std::u16string& source; // the file in work
    std::uint64_t filesDone, filesTotal, bytesDone, bytesTotal;
};

class RestoreHost {
public:
    virtual ~RestoreHost() = default;
    virtual void NoLongerThere(const std::u16string& source) = 0;
    // A path the plan was to give only that its state does not hold.
    virtual void NotInState(const std::u16string& path) = 0;
    virtual void NotWritten(const std::u16string& source) = 0;
    // A folder that the run could not read: its files may be missing.
    virtual void UnreadAtRun(const std::u16string& folder) = 0;
    // Often while writing; the host decides how often it shows anything.
    virtual void Progress(const RestoreProgress& progress) = 0;
    // A close request ends the restore.
    virtual bool Cancelled() = 0;
};

struct RestoreCounts {
    std::uint64_t written = 0, noLongerThere = 0, notWritten = 0, unreadAtRun = 0, notInState = 0;
    bool cancelled = false;
};

// Writes every planned file that is still on the target, with its bytes and
// stamp, into a folder in work inside `folder`, whose trees move out of it
// when the restore ends: a restore stopped at any moment leaves no file under
// its name that is not whole. `folder` is there and empty.
RestoreCounts WriteRestore(FileServices& files, DriveLetter target, const StoreContents& store,
                           const RestorePlan& plan, const RestoreTotals& totals,
                           const std::u16string& folder, RestoreHost& host);

} // namespace kelvorin
