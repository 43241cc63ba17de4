#pragma once
// The about box "Info": the tool's name and version, the maker's copyright line,
// the program's picture and a link to the maker's home page. Created hidden at
// start-up and shown modally.
#include "ui/FormWindow.h"

#include <windows.h>

#include <shellapi.h>

namespace kelvorin::ui {

class TAboutBox : public FormWindow {
public:
    enum ControlId : int {
        Panel1 = 1,
        ProductName,
        Version,
        Copyright,
        WwwLabel,
        ProgramIcon,
        OKBitBtn,
    };

    // How the link asks the shell to open an address: ShellExecuteW, or a stand-in.
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

    explicit TAboutBox(HINSTANCE instance, ShellExecuteFunction shellExecute = &ShellExecuteW);

protected:
    // The close box ends the box as "OK" does.
    void CloseRequest() override;

private:
    void WwwLabelClick();

    ShellExecuteFunction shellExecute_;
};

} // namespace kelvorin::ui
