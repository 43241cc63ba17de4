#include "ui/Application.h"

#include "ui/AboutBox.h"
#include "ui/FormWindow.h"
#include "ui/HelpForm.h"
#include "ui/MainWindow.h"

#include <commctrl.h>

namespace kelvorin::ui {

int RunApplication(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof(icc),
                             ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    // The three windows in their start-up order; all live until the program ends.
    MainWindow mainWindow(instance);
    if (!mainWindow.Create()) return 1;
    THelpForm helpForm(instance);
    if (!helpForm.Create(mainWindow.Handle())) return 1;
    TAboutBox aboutBox(instance);
    if (!aboutBox.Create(mainWindow.Handle())) return 1;
    mainWindow.Show(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateFormMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace kelvorin::ui
