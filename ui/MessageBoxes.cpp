#include "ui/MessageBoxes.h"

#include "app/AppTitle.h"

namespace kelvorin::ui {

namespace {
std::u16string ToU16(const std::wstring& s) {
    return {s.begin(), s.end()};
}
std::wstring ToWide(const std::u16string& s) {
    return {s.begin(), s.end()};
}
} // namespace

std::wstring ApplicationTitle() {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return ToWide(kelvorin::ApplicationTitle(ToU16(std::wstring(path, n))));
}

void ShowErrorBox(HWND owner, const std::wstring& text) {
    const std::wstring shown = ToWide(ErrorBoxText(ToU16(text)));
    MessageBoxW(owner, shown.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONSTOP);
}

void ShowPlainMessage(HWND owner, const std::wstring& text) {
    // MB_TASKMODAL without an owner is what centres the box on the screen.
    MessageBoxW(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_TASKMODAL);
}

} // namespace kelvorin::ui
