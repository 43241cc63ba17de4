#include "ui/Application.h"

#include "app/win32/SpoolFolder.h"
#include "app/win32/Win32StartUpServices.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "ui/AboutBox.h"
#include "ui/DataSForm.h"
#include "ui/FolderSystem.h"
#include "ui/FormWindow.h"
#include "ui/HelpForm.h"
#include "ui/SelectDirForm.h"
#include "ui/ShellTaskbar.h"

#include <commctrl.h>

namespace kelvorin::ui {

int RunApplication(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof(icc),
                             ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);

    Win32StartUpServices startUp;
    Win32FileServices files;
    Win32CodePage codePage;
    Win32LocalClock clock;
    Win32FolderSystem folders;
    // The chooser is made anew for each use, in front of the window that asks.
    const SelectFolderFunction selectFolder = [&](std::wstring& folder, std::int32_t helpContext) {
        return SelectFolder(instance, folders, GetActiveWindow(), folder, helpContext);
    };

    // The three windows in their start-up order; all live until the program ends.
    THelpForm helpForm(instance);
    TAboutBox aboutBox(instance);
    TDataSForm dataSForm(
        instance, {startUp, files, codePage, clock, selectFolder, MakeShellTaskbar, SpoolFolder()},
        helpForm, aboutBox);
    if (!dataSForm.Create()) return 1;
    if (!helpForm.Create(dataSForm.Handle())) return 1;
    if (!aboutBox.Create(dataSForm.Handle())) return 1;
    ShowWindow(dataSForm.Handle(), showCommand);
    UpdateWindow(dataSForm.Handle());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateFormMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace kelvorin::ui
