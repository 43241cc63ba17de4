#pragma once
// Which run folders of the store go, and when: by age as a run begins, for
// room when a copy finds the drive full, and at its end while the drive has
// too little room for the next run. A listing goes with its run folder.
#include "engine/FileServices.h"
#include "engine/StoredRuns.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kelvorin {

class StorePruning {
public:
    struct Events {
        // A run folder that cannot be removed.
        std::function<void(const std::u16string& folder)> notRemoved;
        // A run folder removed to make room, before its keep time ran out.
        std::function<void(const std::u16string& folder)> removedForRoom;
        // Called for every entry listed or removed.
        std::function<void()> keepResponsive;
    };
    StorePruning(FileServices& files, DriveLetter drive, Events events)
        : files_(files), drive_(drive), events_(std::move(events)) {}

    // `own`: the folders of the run at work, which never go.
    using OwnRuns = std::vector<std::u16string>;

    // Removes the run folders older than the keep time. The age counts from
    // the run's start or from the newest other run folder, whichever is
    // earlier: a clock set years ahead removes nothing the keep time holds.
    void ByAge(std::int64_t runStart, int keepDays, const OwnRuns& own);
    // Removes the oldest run folders, as many as a file of `bytes` needs to
    // fit, when the free space and all of them together can take it; else
    // none. True when the file may now fit.
    bool MakeRoomFor(std::int64_t bytes, const OwnRuns& own);
    // Removes the oldest run folder; false when none is left.
    bool RemoveOldest(const OwnRuns& own);

private:
    std::vector<StoredRun> Others(const OwnRuns& own);
    std::int64_t Bytes(const StoredRun& run);
    bool Remove(const StoredRun& run);
    bool RemoveForRoom(const StoredRun& run);

    FileServices& files_;
    DriveLetter drive_;
    Events events_;
    std::set<std::u16string> failed_; // run folders that would not go
};

} // namespace kelvorin
