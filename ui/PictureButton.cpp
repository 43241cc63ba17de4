#include "ui/PictureButton.h"

#include "ui/Dpi.h"
#include "win32/Handles.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <string>

namespace kelvorin::ui {

namespace {

// The frame and face: themed where a visual style is active, classic otherwise.
void DrawFrame(const DRAWITEMSTRUCT& item, bool isDefault, RECT& face) {
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    const UniqueTheme theme(IsAppThemed() ? OpenThemeData(item.hwndItem, L"BUTTON") : nullptr);
    if (theme) {
        const int state = disabled    ? PBS_DISABLED
                          : pressed   ? PBS_PRESSED
                          : isDefault ? PBS_DEFAULTED
                                      : PBS_NORMAL;
        if (IsThemeBackgroundPartiallyTransparent(theme.get(), BP_PUSHBUTTON, state))
            DrawThemeParentBackground(item.hwndItem, item.hDC, &face);
        DrawThemeBackground(theme.get(), item.hDC, BP_PUSHBUTTON, state, &face, nullptr);
        return;
    }
    if (isDefault) {
        FrameRect(item.hDC, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    if (pressed) {
        FillRect(item.hDC, &face, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(item.hDC, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
}

} // namespace

void DrawPictureButton(const DRAWITEMSTRUCT& item, const PictureButtonLook& look) {
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    RECT face = item.rcItem;
    DrawFrame(item, look.isDefault, face);

    SelectedObject font(item.hDC, look.font);
    const std::wstring caption(look.caption);
    const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    RECT textSize{0, 0, 0, 0};
    if (!caption.empty())
        DrawTextW(item.hDC, caption.c_str(), -1, &textSize, DT_CALCRECT | DT_SINGLELINE | prefix);
    const int textWidth = textSize.right - textSize.left;
    const int spacing = caption.empty() || !look.picture ? 0 : Scale(4, look.dpi);
    const int pictureWidth = look.picture ? look.pictureWidth : 0;

    const int shift = pressed ? 1 : 0;
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int left = item.rcItem.left + (width - (pictureWidth + spacing + textWidth)) / 2 + shift;
    if (look.picture) {
        const int top = item.rcItem.top + (height - look.pictureHeight) / 2 + shift;
        HICON picture = disabled && look.disabledPicture ? look.disabledPicture : look.picture;
        DrawIconEx(item.hDC, left, top, picture, look.pictureWidth, look.pictureHeight, 0, nullptr,
                   DI_NORMAL);
    }
    if (!caption.empty()) {
        RECT text{left + pictureWidth + spacing, item.rcItem.top + shift,
                  left + pictureWidth + spacing + textWidth, item.rcItem.bottom + shift};
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix;
        SetBkMode(item.hDC, TRANSPARENT);
        if (disabled) {
            RECT etched = text;
            OffsetRect(&etched, 1, 1);
            SetTextColor(item.hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextW(item.hDC, caption.c_str(), -1, &etched, format);
            SetTextColor(item.hDC, GetSysColor(COLOR_BTNSHADOW));
        } else {
            SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
        }
        DrawTextW(item.hDC, caption.c_str(), -1, &text, format);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -Scale(4, look.dpi), -Scale(4, look.dpi));
        DrawFocusRect(item.hDC, &focus);
    }
}

} // namespace kelvorin::ui
