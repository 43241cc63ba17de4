#include "app/win32/ConsoleCancel.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

// The console calls the handler on a thread of its own, at any time: also
// after the run, when the flags it was given may be gone.
TEST(ConsoleCancel, CancelsTheRunOnlyWhileItLives) {
    RunFlags flags;
    {
        ConsoleCancel cancel(flags);
        EXPECT_TRUE(ConsoleCancel::OnControl(CTRL_C_EVENT));
        EXPECT_TRUE(flags.cancelled);
        cancel.RunFinished();
        flags.cancelled = false;
        EXPECT_TRUE(ConsoleCancel::OnControl(CTRL_CLOSE_EVENT))
            << "no wait once the log is written";
        EXPECT_TRUE(flags.cancelled);
    }
    flags.cancelled = false;
    EXPECT_FALSE(ConsoleCancel::OnControl(CTRL_C_EVENT)) << "the console's own handling";
    EXPECT_FALSE(flags.cancelled) << "the flags of a finished run are not touched";
}

} // namespace
} // namespace kelvorin::testing
