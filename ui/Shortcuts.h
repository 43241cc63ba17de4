#pragma once
// Menu shortcuts: 16-bit values (virtual key, 0x2000 Shift, 0x4000 Ctrl,
// 0x8000 Alt), shown in German and pressed through an accelerator table.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kelvorin::ui {

// "Umsch+", "Strg+", "Alt+" in this order, then the key: a letter or digit
// itself, "Einfg" for Insert, "Entf" for Delete, "F1" to "F12". Empty for 0.
std::wstring ShortcutText(std::uint16_t shortcut);

// The accelerator-table entry that sends the command for the shortcut.
ACCEL AcceleratorOf(std::uint16_t shortcut, WORD command);

} // namespace kelvorin::ui
