#include "ui/FormWindow.h"

#include "ui/Hints.h"
#include "ui/PictureButton.h"
#include "ui/PictureIcons.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

namespace kelvorin::ui {

namespace {

bool IsLabel(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::LinkLabel;
}

struct WindowClassOfKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowClassOfKind ClassOf(const ControlLayout& row) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::LinkLabel:
        // SS_NOTIFY: labels see the mouse, for clicks and tooltips.
        return {WC_STATICW, child | SS_NOTIFY | (row.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP), 0};
    case ControlKind::Panel:
        return {WC_STATICW, child | SS_SUNKEN, 0};
    case ControlKind::RichEdit:
        return {MSFTEDIT_CLASS,
                child | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN |
                    (row.verticalScroll ? WS_VSCROLL | ES_DISABLENOSCROLL : 0),
                WS_EX_CLIENTEDGE};
    case ControlKind::PictureButton:
        return {WC_BUTTONW, child | WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY, 0};
    case ControlKind::Picture:
        return {WC_STATICW, child | SS_OWNERDRAW | SS_NOTIFY, 0};
    }
    return {WC_STATICW, child, 0};
}

} // namespace

FormWindow::FormWindow(HINSTANCE instance, const FormLayout& layout,
                       std::span<const ControlLayout> controls)
    : instance_(instance), layout_(layout), rows_(controls) {
    slots_.reserve(rows_.size());
    for (const ControlLayout& row : rows_)
        slots_.push_back(ControlSlot{&row});
}

FormWindow::~FormWindow() {
    if (HWND window = Handle()) {
        // No more events for a half-destroyed object: the rest goes to DefWindowProc.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        tooltips_.reset();
        window_.reset();
    }
}

FormWindow* FormWindow::FromHandle(HWND window) {
    if (!window) return nullptr;
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (procedure != &FormWindow::WindowProc) return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool FormWindow::RegisterWindowClass() const {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &FormWindow::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = layout_.className;
    return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool FormWindow::Create(HWND owner) {
    if (Handle()) return true;
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls),
                                        ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    const bool hasRichEdit = std::any_of(rows_.begin(), rows_.end(), [](const ControlLayout& r) {
        return r.kind == ControlKind::RichEdit;
    });
    if (hasRichEdit && !richEditLibrary_) {
        richEditLibrary_.reset(LoadLibraryW(L"msftedit.dll"));
        if (!richEditLibrary_) return false;
    }
    if (!RegisterWindowClass()) return false;

    // Sized and placed once its density is known; WindowProc takes the handle at WM_NCCREATE.
    const DWORD style = (layout_.style & ~WS_VISIBLE) | WS_CLIPCHILDREN;
    if (!CreateWindowExW(layout_.exStyle, layout_.className, layout_.caption, style, CW_USEDEFAULT,
                         CW_USEDEFAULT, 100, 100, owner, nullptr, instance_, this))
        return false;
    dpi_ = DpiOfWindow(Handle());
    MakeFonts();
    MakeIcons();
    for (ControlSlot& slot : slots_)
        if (!CreateControl(slot)) return false;
    // Containers lie under what they hold.
    for (const ControlSlot& slot : slots_)
        if (slot.layout->kind == ControlKind::Panel)
            SetWindowPos(slot.window, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (layout_.showHints) CreateTooltips();
    LayOut();
    PlaceOnScreen();
    return true;
}

bool FormWindow::CreateControl(ControlSlot& slot) {
    const ControlLayout& row = *slot.layout;
    const WindowClassOfKind kind = ClassOf(row);
    slot.window =
        CreateWindowExW(kind.exStyle, kind.className, L"", kind.style, 0, 0, 0, 0, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_, nullptr);
    if (!slot.window) return false;
    SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(row)), FALSE);
    if (row.kind == ControlKind::RichEdit) {
        SendMessageW(slot.window, EM_SETTARGETDEVICE, 0, 0); // lines wrap at the box's width
    }
    // The text comes after the font, so a rich-text box shows it in that font.
    SetWindowTextW(slot.window, row.text);
    return true;
}

void FormWindow::CreateTooltips() {
    tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                    instance_, nullptr));
    if (!tooltips_) return;
    for (const ControlSlot& slot : slots_) {
        if (!slot.layout->hint) continue;
        std::wstring text = ShortHint(slot.layout->hint);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(slot.window);
        tool.lpszText = text.data(); // copied by the tooltip control
        SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void FormWindow::MakeFonts() {
    formFont_ = MakeFont(kFormFont, dpi_);
    if (std::any_of(rows_.begin(), rows_.end(),
                    [](const ControlLayout& r) { return r.font == FontRole::Fixed; }))
        fixedFont_ = MakeFont(kFixedFont, dpi_);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
}

void FormWindow::MakeIcons() {
    if (layout_.exStyle & WS_EX_DLGMODALFRAME) return; // a dialog frame shows no icon
    const int big = SystemMetricForDpi(SM_CXICON, dpi_);
    const int small = SystemMetricForDpi(SM_CXSMICON, dpi_);
    UniqueIcon bigIcon = MakeIcon(pictures::kProgram, big, big);
    UniqueIcon smallIcon = MakeIcon(pictures::kProgram, small, small);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    bigIcon_ = std::move(bigIcon); // the previous icons go only once the window has let them go
    smallIcon_ = std::move(smallIcon);
}

HFONT FormWindow::FontOf(const ControlLayout& row) const {
    return row.font == FontRole::Fixed ? fixedFont_.get() : formFont_.get();
}

POINT FormWindow::OriginOf(const ControlLayout& row) const {
    POINT origin{0, 0};
    for (const ControlLayout* parent = ParentOf(row); parent; parent = ParentOf(*parent)) {
        origin.x += Scale(parent->left, dpi_);
        origin.y += Scale(parent->top, dpi_);
    }
    return origin;
}

SIZE FormWindow::MeasureText(const ControlSlot& slot, int wrapWidth) const {
    const int length = GetWindowTextLengthW(slot.window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(slot.window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));

    WindowDc dc(slot.window);
    SelectedObject font(dc.Get(), FontOf(*slot.layout));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    RECT bounds{0, 0, wrapWidth, 0};
    const UINT format = DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : 0);
    if (!text.empty()) DrawTextW(dc.Get(), text.c_str(), length, &bounds, format);
    return {bounds.right - bounds.left,
            std::max<LONG>(bounds.bottom - bounds.top, metrics.tmHeight)};
}

void FormWindow::MakePictures(ControlSlot& slot, SIZE controlSize) {
    const ControlLayout& row = *slot.layout;
    if (!row.picture || row.picture->empty()) return;
    SIZE size = controlSize; // a picture control is filled by its picture
    if (row.kind == ControlKind::PictureButton)
        size = {Scale(static_cast<int>((*row.picture)[0].size()), dpi_),
                Scale(static_cast<int>(row.picture->size()), dpi_)};
    slot.picture = MakeIcon(*row.picture, size.cx, size.cy);
    slot.disabledPicture = MakeDisabledIcon(*row.picture, size.cx, size.cy);
    slot.pictureSize = size;
}

void FormWindow::LayOut() {
    for (ControlSlot& slot : slots_) {
        const ControlLayout& row = *slot.layout;
        const POINT origin = OriginOf(row);
        SIZE size{Scale(row.width, dpi_), Scale(row.height, dpi_)};
        if (IsLabel(row.kind) && (row.width == kSizedToText || row.height == kSizedToText)) {
            const SIZE text = MeasureText(slot, row.wordWrap ? size.cx : 0);
            if (row.width == kSizedToText) size.cx = text.cx;
            if (row.height == kSizedToText) size.cy = text.cy;
        }
        SetWindowPos(slot.window, nullptr, origin.x + Scale(row.left, dpi_),
                     origin.y + Scale(row.top, dpi_), size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        MakePictures(slot, size);
        InvalidateRect(slot.window, nullptr, TRUE);
    }
}

void FormWindow::PlaceOnScreen() {
    const RECT frame = WindowRectForClient(layout_.clientWidth, layout_.clientHeight, layout_.style,
                                           layout_.exStyle, false, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int left = Scale(layout_.left, dpi_);
    int top = Scale(layout_.top, dpi_);
    if (layout_.placement == Placement::ScreenCentre) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
        left =
            monitor.rcMonitor.left + (monitor.rcMonitor.right - monitor.rcMonitor.left - width) / 2;
        top =
            monitor.rcMonitor.top + (monitor.rcMonitor.bottom - monitor.rcMonitor.top - height) / 2;
    }
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ChangeDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    MakeFonts();
    for (const ControlSlot& slot : slots_)
        SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*slot.layout)), TRUE);
    MakeIcons();
    LayOut();
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FormWindow::ControlWindow(int id) const {
    const ControlSlot* slot = SlotOf(id);
    return slot ? slot->window : nullptr;
}

FormWindow::ControlSlot* FormWindow::SlotOf(int id) {
    for (ControlSlot& slot : slots_)
        if (slot.layout->id == id) return &slot;
    return nullptr;
}

const FormWindow::ControlSlot* FormWindow::SlotOf(int id) const {
    for (const ControlSlot& slot : slots_)
        if (slot.layout->id == id) return &slot;
    return nullptr;
}

const FormWindow::ControlSlot* FormWindow::SlotOfWindow(HWND window) const {
    // A control may be made of inner windows: climb to the one that is ours.
    for (; window && window != Handle(); window = GetParent(window))
        for (const ControlSlot& slot : slots_)
            if (slot.window == window) return &slot;
    return nullptr;
}

const ControlLayout* FormWindow::ParentOf(const ControlLayout& row) const {
    if (row.parent == 0) return nullptr;
    const ControlSlot* parent = SlotOf(row.parent);
    return parent ? parent->layout : nullptr;
}

void FormWindow::SetControlText(int id, const wchar_t* text) {
    ControlSlot* slot = SlotOf(id);
    if (!slot) return;
    SetWindowTextW(slot->window, text);
    const ControlLayout& row = *slot->layout;
    if (IsLabel(row.kind) && (row.width == kSizedToText || row.height == kSizedToText)) {
        RECT bounds{};
        GetWindowRect(slot->window, &bounds);
        SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
        const SIZE measured = MeasureText(*slot, row.wordWrap ? Scale(row.width, dpi_) : 0);
        if (row.width == kSizedToText) size.cx = measured.cx;
        if (row.height == kSizedToText) size.cy = measured.cy;
        SetWindowPos(slot->window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(slot->window, nullptr, TRUE);
}

void FormWindow::BringToFront(int id) {
    if (HWND control = ControlWindow(id))
        SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::HelpRequest(const HELPINFO& info) {
    if (info.iContextType == HELPINFO_MENUITEM) {
        // A menu item always passes its request on, 0 included.
        DispatchHelp(helpHook_, MenuItemHelpContext(info.iCtrlId));
        return;
    }
    std::int32_t context = 0;
    const ControlSlot* slot = SlotOfWindow(static_cast<HWND>(info.hItemHandle));
    for (const ControlLayout* row = slot ? slot->layout : nullptr; row && context == 0;
         row = ParentOf(*row))
        context = row->helpContext;
    if (context == 0) context = layout_.helpContext;
    if (context != 0) DispatchHelp(helpHook_, context);
}

bool FormWindow::IsActiveDefault(const ControlSlot& slot) const {
    // Enter presses the focused button, else the default button.
    const ControlSlot* focused = FocusedSlot();
    if (focused && focused->layout->kind == ControlKind::PictureButton) return focused == &slot;
    return slot.layout->id == layout_.defaultButton;
}

void FormWindow::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlSlot* slot = SlotOf(static_cast<int>(item.CtlID));
    if (!slot) return;
    if (slot->layout->kind == ControlKind::PictureButton) {
        PictureButtonLook look;
        look.caption = slot->layout->text;
        look.picture = slot->picture.get();
        look.disabledPicture = slot->disabledPicture.get();
        look.pictureWidth = slot->pictureSize.cx;
        look.pictureHeight = slot->pictureSize.cy;
        look.font = FontOf(*slot->layout);
        look.isDefault = IsActiveDefault(*slot);
        look.dpi = dpi_;
        DrawPictureButton(item, look);
    } else if (slot->layout->kind == ControlKind::Picture) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        if (slot->picture)
            DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, slot->picture.get(),
                       slot->pictureSize.cx, slot->pictureSize.cy, 0, nullptr, DI_NORMAL);
    }
}

void FormWindow::Command(int id, int code, HWND control) {
    const ControlSlot* slot = SlotOfWindow(control);
    if (!slot) return;
    const ControlKind kind = slot->layout->kind;
    if (kind == ControlKind::PictureButton) {
        if (code == BN_CLICKED) {
            PressButton(id);
        } else if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
            // The default frame follows the focus from button to button.
            for (const ControlSlot& other : slots_)
                if (other.layout->kind == ControlKind::PictureButton)
                    InvalidateRect(other.window, nullptr, FALSE);
        }
    } else if (IsLabel(kind) && code == STN_CLICKED) {
        LabelClick(id);
    }
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = Handle();
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) lastFocus_ = focus;
        } else if (!HIWORD(wParam)) {
            RestoreFocus();
            FormActivate();
        }
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_CLOSE:
        CloseRequest();
        return 0;
    case WM_HELP:
        HelpRequest(*reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (lParam) Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam));
        HDC dc = reinterpret_cast<HDC>(wParam);
        const Colour colour =
            slot && slot->layout->textColour ? *slot->layout->textColour : layout_.textColour;
        SetTextColor(dc, colour.Resolve());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR: {
        const ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(wParam));
        if (slot && slot->layout->kind == ControlKind::LinkLabel && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed from outside (with its owner): the handles are gone already.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        (void)self->tooltips_.release();
        (void)self->window_.release();
        if (self->modal_ && self->modalResult_ == 0) self->modalResult_ = kResultCancel;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

} // namespace kelvorin::ui
