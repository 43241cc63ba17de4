// The shell's taskbar interface behind the window's seam. Wine makes it and
// ignores its calls, so a test sees no more than that it is made and taken down.
#include "ui/ShellTaskbar.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

TEST(ShellTaskbar, IsMadeForAWindowAndTakesEveryState) {
    const UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                              100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    std::unique_ptr<ui::TaskbarProgress> taskbar = ui::MakeShellTaskbar(window.get());
    ASSERT_NE(taskbar, nullptr);
    using State = ui::TaskbarProgress::State;
    for (const State state : {State::Busy, State::Share, State::Error, State::None}) {
        taskbar->SetState(state);
        taskbar->SetValue(500, 1000);
    }
    // A second one on the same thread shares its COM apartment, and each
    // takes its own down.
    EXPECT_NE(ui::MakeShellTaskbar(window.get()), nullptr);
}

} // namespace
} // namespace kelvorin::testing
