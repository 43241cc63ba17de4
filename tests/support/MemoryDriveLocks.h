#pragma once
// The drive locks of a file system in memory, as the system's named mutexes
// behave: one holding thread per drive, which may take its lock again without
// waiting, and a wait that ends when the holder gives the lock up.
#include "engine/FileServices.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace kelvorin::testing {

class MemoryDriveLocks {
public:
    MemoryDriveLocks() = default;
    // A world that is copied has no runs at work: its locks start free.
    MemoryDriveLocks(const MemoryDriveLocks&) : MemoryDriveLocks() {}
    MemoryDriveLocks& operator=(const MemoryDriveLocks&) { return *this; }

    std::unique_ptr<DriveLock> Lock(DriveLetter drive);

private:
    class DriveMutex;
    struct Holder {
        std::thread::id thread;
        int count = 0;
    };
    std::mutex guard_;
    std::condition_variable released_;
    std::map<char16_t, Holder> holders_;
};

} // namespace kelvorin::testing
