#pragma once
// A drive's lock as a named mutex in the Global namespace: one per volume for
// every session of the PC (the Task Scheduler runs in another), owned by the
// thread that took it, and released by the system when its process dies, so
// a killed run never blocks the next.
#include "engine/FileServices.h"
#include "win32/Handles.h"

#include <memory>
#include <string>

namespace kelvorin {

// The mutex's name: the volume's GUID when the system tells it, so that one
// stick has one lock whatever letter a session gives it; else the letter.
std::wstring DriveLockName(DriveLetter drive);

class Win32DriveLock : public DriveLock {
public:
    // Null when the mutex can be neither made nor opened.
    static std::unique_ptr<DriveLock> Open(DriveLetter drive);

    explicit Win32DriveLock(UniqueKernelObject mutex) : mutex_(std::move(mutex)) {}
    Win32DriveLock(const Win32DriveLock&) = delete;
    Win32DriveLock& operator=(const Win32DriveLock&) = delete;
    // Gives up every taking; must run on the thread that took it.
    ~Win32DriveLock() override;

    Attempt Wait(std::uint32_t milliseconds) override;

private:
    UniqueKernelObject mutex_;
    int taken_ = 0;
};

} // namespace kelvorin
