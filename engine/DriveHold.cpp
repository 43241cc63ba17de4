#include "engine/DriveHold.h"

namespace kelvorin {

namespace {
// Short enough that the window answers and a close request ends the wait at once.
constexpr std::uint32_t kWaitSliceMilliseconds = 100;
} // namespace

DriveHold::DriveHold(FileServices& files, DriveLetter drive, RunHost& host, const RunFlags& flags)
    : lock_(files.LockDrive(drive)) {
    if (!lock_) return;
    DriveLock::Attempt attempt = lock_->Wait(0);
    if (attempt == DriveLock::Attempt::Busy) {
        host.WaitingForOtherRun();
        while (attempt == DriveLock::Attempt::Busy && !flags.cancelled) {
            host.KeepResponsive();
            if (flags.cancelled) break;
            attempt = lock_->Wait(kWaitSliceMilliseconds);
        }
    }
    if (attempt != DriveLock::Attempt::Taken) lock_.reset();
}

} // namespace kelvorin
