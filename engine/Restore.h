#pragma once
// Back to a run: the set's folders as the store's listings say the backup
// held them after that run, written into an empty folder, from the mirror
// where its copy is still the listed one, else from the versions of later runs.
// Nothing on the stick changes.
#include "engine/FileServices.h"
#include "engine/StateListing.h"
#include "engine/VersionStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin {

// A listing of the store that reads whole.
struct StoredState {
    StoredRun run;
    StateListing listing;
};

// What a restore reads of the store: every run folder, where versions are,
// and every state, oldest first. A run whose listing was never finished
// offers no state, but its folder still holds what it replaced.
struct StoreContents {
    std::vector<StoredRun> runs;
    std::vector<StoredState> states;
};
StoreContents ReadStore(FileServices& files, DriveLetter target);

// Whether the listing covers any of the set's folders: a state of the set.
bool CoversAnyOf(const StateListing& listing, const std::vector<std::u16string>& setFolders);

// One file of a state: its copy as the listing of that run tells it.
struct PlannedFile {
    std::u16string source;
    FileFacts copy;
    const StoredRun* run; // in the store it was planned from
};

struct RestorePlan {
    std::vector<PlannedFile> files;
    std::uint64_t bytes = 0;
};

// For each set folder, the listing of the latest run that started at or
// before `moment` and covers it; nullopt when no folder has one. Reads only
// the listings: where the bytes are is asked while writing.
std::optional<RestorePlan> PlanRestore(const StoreContents& store,
                                       const std::vector<std::u16string>& setFolders,
                                       std::int64_t moment);

// Where a source file goes below the folder: "C:\a\x.txt" to "<folder>\C\a\x.txt".
std::u16string RestoredPath(std::u16string_view folder, std::u16string_view source);

class RestoreHost {
public:
    virtual ~RestoreHost() = default;
    virtual void NoLongerThere(const std::u16string& source) = 0;
    virtual void NotWritten(const std::u16string& source) = 0;
    // Often while writing; the host decides how often it shows anything.
    virtual void Progress(const std::u16string& source, std::uint64_t bytesDone,
                          std::uint64_t bytesTotal) = 0;
    // A close request ends the restore.
    virtual bool Cancelled() = 0;
};

struct RestoreCounts {
    std::uint64_t written = 0, noLongerThere = 0, notWritten = 0;
    bool cancelled = false;
};

// Writes every planned file that is still on the target, with its bytes and
// stamp: from the mirror when its copy there is the listed one, else from the
// oldest run folder from that run on whose version is.
RestoreCounts WriteRestore(FileServices& files, DriveLetter target, const StoreContents& store,
                           const RestorePlan& plan, const std::u16string& folder,
                           RestoreHost& host);

} // namespace kelvorin
