#include "ui/Application.h"

#include "ui/MainWindow.h"

#include <commctrl.h>

namespace kelvorin::ui {

int RunApplication(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    MainWindow mainWindow(instance);
    if (!mainWindow.Create()) return 1;
    mainWindow.Show(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace kelvorin::ui
