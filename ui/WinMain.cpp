// Program entry of Kelvorin.exe.
#include "ui/Application.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return kelvorin::ui::RunApplication(instance, showCommand);
}
