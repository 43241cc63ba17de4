#include "ui/Shortcuts.h"

#include "ui/Layout.h"
#include "ui/Texts.h"

namespace kelvorin::ui {

namespace {

std::wstring KeyName(BYTE key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F12) return L"F" + std::to_wstring(key - VK_F1 + 1);
    switch (key) {
    case VK_INSERT:
        return texts::kKeyInsert;
    case VK_DELETE:
        return texts::kKeyDelete;
    default:
        return {};
    }
}

} // namespace

std::wstring ShortcutText(std::uint16_t shortcut) {
    if (shortcut == 0) return {};
    std::wstring text;
    if (shortcut & kShift) text += texts::kShiftPlus;
    if (shortcut & kCtrl) text += texts::kCtrlPlus;
    if (shortcut & kAlt) text += texts::kAltPlus;
    return text + KeyName(static_cast<BYTE>(shortcut & 0xFF));
}

ACCEL AcceleratorOf(std::uint16_t shortcut, WORD command) {
    BYTE flags = FVIRTKEY;
    if (shortcut & kShift) flags |= FSHIFT;
    if (shortcut & kCtrl) flags |= FCONTROL;
    if (shortcut & kAlt) flags |= FALT;
    return ACCEL{flags, static_cast<WORD>(shortcut & 0xFF), command};
}

} // namespace kelvorin::ui
