#include "tests/support/MemoryDriveLocks.h"

#include <chrono>

namespace kelvorin::testing {

class MemoryDriveLocks::DriveMutex : public DriveLock {
public:
    DriveMutex(MemoryDriveLocks& locks, char16_t drive) : locks_(locks), drive_(drive) {}
    DriveMutex(const DriveMutex&) = delete;
    DriveMutex& operator=(const DriveMutex&) = delete;
    ~DriveMutex() override {
        if (taken_ == 0) return;
        {
            const std::lock_guard guard(locks_.guard_);
            locks_.holders_[drive_].count -= taken_;
        }
        locks_.released_.notify_all();
    }

    Attempt Wait(std::uint32_t milliseconds) override {
        std::unique_lock guard(locks_.guard_);
        Holder& holder = locks_.holders_[drive_];
        const auto me = std::this_thread::get_id();
        if (!locks_.released_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                       [&] { return holder.count == 0 || holder.thread == me; }))
            return Attempt::Busy;
        holder.thread = me;
        ++holder.count;
        ++taken_;
        return Attempt::Taken;
    }

private:
    MemoryDriveLocks& locks_;
    char16_t drive_;
    int taken_ = 0;
};

std::unique_ptr<DriveLock> MemoryDriveLocks::Lock(DriveLetter drive) {
    if (drive.IsNone()) return nullptr;
    return std::make_unique<DriveMutex>(*this, drive.Letter());
}

} // namespace kelvorin::testing
