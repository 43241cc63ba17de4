#pragma once
// The small drive is shared by every test process: a test that fills it, or
// needs to know what is on it, holds this lock across processes.
#include "win32/Handles.h"

#include <windows.h>

#include <stdexcept>

namespace kelvorin::testing {

class SmallDriveLock {
public:
    SmallDriveLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Kelvorin.Tests.SmallDrive")) {
        if (!mutex_) throw std::runtime_error("cannot create the small drive's lock");
        const DWORD got = WaitForSingleObject(mutex_.get(), 60000);
        if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED)
            throw std::runtime_error("the small drive stayed locked");
    }
    SmallDriveLock(const SmallDriveLock&) = delete;
    SmallDriveLock& operator=(const SmallDriveLock&) = delete;
    ~SmallDriveLock() { ReleaseMutex(mutex_.get()); }

private:
    UniqueKernelObject mutex_;
};

} // namespace kelvorin::testing
