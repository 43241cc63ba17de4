#pragma once
// Holds the target drive's lock while it lives, so that two runs never work on
// one drive together: they would share a run folder of the version store,
// prune each other's and write the same partial copy.
#include "engine/FileServices.h"
#include "engine/RunFlags.h"
#include "engine/RunHost.h"

#include <memory>

namespace kelvorin {

class DriveHold {
public:
    // Waits while another run holds the drive, telling the host once and
    // giving it its turns; a close request (Cancelled) ends the wait without
    // the drive. A lock that cannot be had at all lets the run go on without
    // it: a backup matters more than the guard against a second run.
    DriveHold(FileServices& files, DriveLetter drive, RunHost& host, const RunFlags& flags);
    DriveHold(const DriveHold&) = delete;
    DriveHold& operator=(const DriveHold&) = delete;

    // Whether the drive is held here now.
    bool Held() const { return lock_ != nullptr; }

private:
    std::unique_ptr<DriveLock> lock_;
};

} // namespace kelvorin
