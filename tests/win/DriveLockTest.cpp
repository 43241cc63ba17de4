// The drive's lock as the system makes it: one per drive, held by a thread
// until it lets go or ends.
#include "engine/win32/Win32DriveLock.h"
#include "tests/support/Fixtures.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gtest/gtest.h>

#include <future>
#include <set>

namespace kelvorin::testing {
namespace {

DriveLock::Attempt TryFromAnotherThread(DriveLetter drive) {
    return std::async(std::launch::async,
                      [drive] {
                          const auto lock = Win32DriveLock::Open(drive);
                          return lock ? lock->Wait(0) : DriveLock::Attempt::Failed;
                      })
        .get();
}

TEST(Win32DriveLock, OneLockPerDriveHeldByItsThreadUntilItLetsGo) {
    const DriveLetter source = DriveLetter::FromLetter(SourceDrive()),
                      target = DriveLetter::FromLetter(TargetDrive()),
                      small = DriveLetter::FromLetter(SmallDrive());
    const std::set<std::wstring> names{DriveLockName(source), DriveLockName(target),
                                       DriveLockName(small)};
    EXPECT_EQ(names.size(), 3u) << "drives that share a name would wait for each other";
    for (const std::wstring& name : names) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_TRUE(name.starts_with(L"Global\\")) << "one lock for every session";
    }

    {
        const auto held = Win32DriveLock::Open(target);
        ASSERT_TRUE(held);
        ASSERT_EQ(held->Wait(0), DriveLock::Attempt::Taken);
        EXPECT_EQ(TryFromAnotherThread(target), DriveLock::Attempt::Busy);
        EXPECT_EQ(TryFromAnotherThread(source), DriveLock::Attempt::Taken);
        // Its own thread takes it again at once, and it stays held until both go.
        {
            const auto again = Win32DriveLock::Open(target);
            EXPECT_EQ(again->Wait(0), DriveLock::Attempt::Taken);
        }
        EXPECT_EQ(TryFromAnotherThread(target), DriveLock::Attempt::Busy);
    }
    EXPECT_EQ(TryFromAnotherThread(target), DriveLock::Attempt::Taken);
}

} // namespace
} // namespace kelvorin::testing
