#pragma once
#include <windows.h>

namespace kelvorin::ui {

// Creates the windows and runs the message loop until the main window closes.
int RunApplication(HINSTANCE instance, int showCommand);

} // namespace kelvorin::ui
