#pragma once
// Drawing of a push button with a picture left of its caption, the two centred
// together; the picture's grey twin stands in while the button is disabled.
#include <windows.h>

#include <string_view>

namespace kelvorin::ui {

struct PictureButtonLook {
    std::wstring_view caption; // "&" marks the accelerator letter
    HICON picture = nullptr;
    HICON disabledPicture = nullptr;
    int pictureWidth = 0;
    int pictureHeight = 0;
    HFONT font = nullptr;
    bool isDefault = false; // the button that Enter presses now: drawn with the default frame
    UINT dpi = 96;
};

// Paints an owner-drawn button (BS_OWNERDRAW) for WM_DRAWITEM.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const PictureButtonLook& look);

} // namespace kelvorin::ui
