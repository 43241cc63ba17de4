#include "ui/MessageBoxes.h"

#include "app/AppTitle.h"
#include "set/win32/WideText.h"

namespace kelvorin::ui {

namespace {

// The framework's error text: a "." is appended when the last character's code
// is greater than that of ".".
std::wstring ErrorBoxText(std::wstring text) {
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}

} // namespace

std::wstring ApplicationTitle() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return Wide(kelvorin::ApplicationTitle(U16(std::wstring_view(path, n))));
}

void ShowErrorBox(HWND owner, const std::wstring& text) {
    const std::wstring shown = ErrorBoxText(text);
    MessageBoxW(owner, shown.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONSTOP);
}

void ShowPlainMessage(HWND owner, const std::wstring& text) {
    // MB_TASKMODAL without an owner is what centres the box on the screen.
    MessageBoxW(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_TASKMODAL);
}

} // namespace kelvorin::ui
