#pragma once
// The two fonts of the windows, described at 96 dots per inch.
#include "win32/Handles.h"

#include <windows.h>

namespace kelvorin::ui {

struct FontSpec {
    const wchar_t* face;
    int characterHeight; // pixels at 96 dots per inch, without internal leading
    int weight;
    BYTE charset;
};

// Every control's font unless its row says otherwise: Arial, 13 pixels, bold, Western.
inline constexpr FontSpec kFormFont{L"Arial", 13, FW_BOLD, ANSI_CHARSET};
// The fixed font of the lists and the exclusion box: Courier New, 11 pixels, regular.
inline constexpr FontSpec kFixedFont{L"Courier New", 11, FW_NORMAL, ANSI_CHARSET};

UniqueFont MakeFont(const FontSpec& wanted, UINT dpi);

} // namespace kelvorin::ui
