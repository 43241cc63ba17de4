#pragma once
// The taskbar's own interface behind the seam.
#include "ui/TaskbarProgress.h"

namespace kelvorin::ui {

// Null without a taskbar, or when the system cannot make its interface.
std::unique_ptr<TaskbarProgress> MakeShellTaskbar(HWND window);

} // namespace kelvorin::ui
