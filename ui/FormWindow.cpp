#include "ui/FormWindow.h"

#include "ui/ControlKinds.h"
#include "ui/Hints.h"
#include "ui/PictureButton.h"
#include "ui/PictureIcons.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

namespace kelvorin::ui {

namespace {

// What a row adds to its kind's styles.
DWORD StyleOf(const ControlLayout& row) {
    const KindTraits& traits = TraitsOf(row.kind);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | traits.style | (row.visible ? WS_VISIBLE : 0);
    if (!row.enabled) style |= WS_DISABLED;
    // Radio buttons check each other within a run of siblings that the next
    // WS_GROUP ends: every other control starts a group of its own.
    if (row.kind != ControlKind::RadioButton) style |= WS_GROUP;
    switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::LinkLabel:
        if (row.wordWrap) style = (style & ~SS_TYPEMASK) | SS_LEFT;
        break;
    case ControlKind::RichEdit:
        if (row.verticalScroll) style |= WS_VSCROLL | ES_DISABLENOSCROLL;
        break;
    case ControlKind::ListBox:
        if (row.itemPictures) style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
        break;
    case ControlKind::ComboList:
        if (row.itemPictures) style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        break;
    default:
        break;
    }
    return style;
}

// A group box paints only its frame and title; the window, clipping its
// children, paints nothing there either: the box fills its inside itself.
LRESULT CALLBACK FilledGroupBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

FormWindow::FormWindow(HINSTANCE instance, const FormLayout& layout,
                       std::span<const ControlLayout> controls)
    : instance_(instance), layout_(layout) {
    ExpandRows(controls);
    slots_.reserve(rows_.size());
    for (const ControlLayout& row : rows_)
        slots_.push_back(ControlSlot{&row});
}

// A radio group's items become rows of their own, ids following the group's.
void FormWindow::ExpandRows(std::span<const ControlLayout> controls) {
    for (const ControlLayout& row : controls) {
        rows_.push_back(row);
        if (row.kind != ControlKind::RadioGroup) continue;
        for (std::size_t i = 0; i < row.items.size(); ++i)
            rows_.push_back({.id = RadioItemId(row.id, static_cast<int>(i)),
                             .kind = ControlKind::RadioButton,
                             .parent = row.id,
                             .tabOrder = static_cast<int>(i),
                             .text = row.items[i]});
    }
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

    // Sized and placed once its density is known; WindowProc takes the handle
    // at WM_NCCREATE. On the owner's monitor, so that the density is that one's.
    POINT at{CW_USEDEFAULT, CW_USEDEFAULT};
    if (owner) {
        RECT ownerRect{};
        GetWindowRect(owner, &ownerRect);
        at = {ownerRect.left, ownerRect.top};
    }
    const DWORD style = (layout_.style & ~WS_VISIBLE) | WS_CLIPCHILDREN;
    if (!CreateWindowExW(layout_.exStyle, layout_.className, layout_.caption, style, at.x, at.y,
                         100, 100, owner, nullptr, instance_, this))
        return false;
    dpi_ = DpiOfWindow(Handle());
    if (!CreateMenus()) return false;
    formFont_ = MakeFont(kFormFont, dpi_);
    fixedFont_ = MakeFont(kFixedFont, dpi_);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
    MakeIcons();
    MakeImageList();
    for (ControlSlot& slot : slots_)
        if (!CreateControl(slot)) return false;
    // Containers lie under what they hold.
    for (const ControlSlot& slot : slots_)
        if (TraitsOf(slot.layout->kind).isContainer && slot.window)
            SetWindowPos(slot.window, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (layout_.showHints) CreateTooltips();
    LayOut();
    PlaceOnScreen();
    FormCreate();
    return Handle() != nullptr;
}

bool FormWindow::CreateControl(ControlSlot& slot) {
    const ControlLayout& row = *slot.layout;
    const KindTraits& traits = TraitsOf(row.kind);
    if (!traits.className) return true; // lives in its parent control
    slot.window =
        CreateWindowExW(traits.exStyle, traits.className, L"", StyleOf(row), 0, 0, 0, 0, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_, nullptr);
    if (!slot.window) return false;
    SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(row)), FALSE);
    switch (row.kind) {
    case ControlKind::RichEdit:
        SendMessageW(slot.window, EM_SETTARGETDEVICE, 0, 0); // lines wrap at the box's width
        break;
    case ControlKind::ToolBar:
        ConfigureToolBar(slot, true);
        break;
    case ControlKind::StatusBar:
        SendMessageW(slot.window, SB_SIMPLE, TRUE, 0);
        break;
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup:
        SetWindowSubclass(slot.window, FilledGroupBox, 0, 0);
        break;
    case ControlKind::VirtualList: {
        SendMessageW(slot.window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        LVCOLUMNW column{};
        SendMessageW(slot.window, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        break;
    }
    default:
        break;
    }
    // The text comes after the font, so a rich-text box shows it in that font.
    if (row.kind != ControlKind::ToolBar && row.kind != ControlKind::StatusBar)
        SetWindowTextW(slot.window, row.text);
    if (row.kind == ControlKind::RadioButton) {
        const ControlLayout* group = ParentOf(row);
        if (group && row.id == RadioItemId(group->id, group->checkedItem))
            SendMessageW(slot.window, BM_SETCHECK, BST_CHECKED, 0);
    }
    return true;
}

void FormWindow::CreateTooltips() {
    tooltips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                    instance_, nullptr));
    if (!tooltips_) return;
    for (const ControlSlot& slot : slots_) {
        // A tool bar shows the tips of its buttons itself.
        if (!slot.window || slot.layout->kind == ControlKind::ToolBar) continue;
        const wchar_t* hint = HintOf(slot.layout);
        if (!hint) continue;
        std::wstring text = ShortHint(hint);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(slot.window);
        tool.lpszText = text.data(); // copied by the tooltip control
        SendMessageW(tooltips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void FormWindow::ApplyFonts() {
    // The controls get the new fonts before the old ones are freed.
    UniqueFont formFont = MakeFont(kFormFont, dpi_);
    UniqueFont fixedFont = MakeFont(kFixedFont, dpi_);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(formFont.get()), FALSE);
    for (const ControlSlot& slot : slots_) {
        if (!slot.window) continue;
        HFONT font = slot.layout->font == FontRole::Fixed ? fixedFont.get() : formFont.get();
        SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    formFont_ = std::move(formFont);
    fixedFont_ = std::move(fixedFont);
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

void FormWindow::SetListCount(int id, std::size_t count) {
    HWND list = ControlWindow(id);
    SendMessageW(list, LVM_SETITEMCOUNT, count, 0);
    InvalidateRect(list, nullptr, TRUE);
}

HWND FormWindow::ControlWindow(int id) const {
    const ControlSlot* slot = SlotOf(id);
    return slot ? slot->window : nullptr;
}

const ControlLayout* FormWindow::RowOf(int id) const {
    const ControlSlot* slot = SlotOf(id);
    return slot ? slot->layout : nullptr;
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

// A control without a hint lends the hint of its nearest parent that has one;
// a tool button has its menu item's.
const wchar_t* FormWindow::HintOf(const ControlLayout* row) const {
    for (; row; row = ParentOf(*row)) {
        if (row->kind == ControlKind::ToolButton)
            if (const MenuItemLayout* item = MenuItemOf(row->linkedItem)) return item->hint;
        if (row->hint) return row->hint;
    }
    return nullptr;
}

void FormWindow::SetControlText(int id, const wchar_t* text) {
    ControlSlot* slot = SlotOf(id);
    if (!slot || !slot->window) return;
    SetWindowTextW(slot->window, text);
    const ControlLayout& row = *slot->layout;
    if (row.kind == ControlKind::PathLine) {
        // The deepest folder is what matters when the path is wider than the line.
        const auto end = static_cast<WPARAM>(GetWindowTextLengthW(slot->window));
        SendMessageW(slot->window, EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessageW(slot->window, EM_SCROLLCARET, 0, 0);
    }
    if (TraitsOf(row.kind).isLabel && (row.width == kSizedToText || row.height == kSizedToText)) {
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

void FormWindow::StartTimer(int id, UINT milliseconds) {
    SetTimer(Handle(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void FormWindow::StopTimer(int id) {
    KillTimer(Handle(), static_cast<UINT_PTR>(id));
}

void FormWindow::On(int id, Event event, Handler handler) {
    handlers_.push_back({id, event, std::move(handler)});
}

void FormWindow::RunHandler(int id, Event event) {
    for (const HandlerEntry& entry : handlers_) {
        if (entry.id != id || entry.event != event) continue;
        // A copy: the handler may register or run others while it runs.
        const Handler handler = entry.handler;
        handler();
        return;
    }
}

std::wstring FormWindow::StatusText() const {
    return statusText_;
}

void FormWindow::SetStatusText(const std::wstring& text) {
    if (text == statusText_) return;
    statusText_ = text;
    if (HWND bar = ControlWindow(layout_.statusBar))
        SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(statusText_.c_str()));
}

std::wstring FormWindow::HintOfWindow(HWND window, POINT screenPoint) const {
    const ControlSlot* slot = SlotOfWindow(window);
    const ControlLayout* row = slot ? slot->layout : nullptr;
    if (row && row->kind == ControlKind::ToolBar)
        if (const ControlLayout* button = ToolButtonAt(slot->window, screenPoint)) row = button;
    const wchar_t* hint = HintOf(row);
    return hint ? hint : L"";
}

// While the program waits for input, the status bar shows the long hint of
// what the mouse points at.
void FormWindow::UpdateStatusHint(HWND window) {
    if (!layout_.statusBar) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const std::wstring hint = HintOfWindow(window, cursor);
    SetStatusText(hint.empty() ? hint : LongHint(hint));
}

void FormWindow::HelpRequest(const HELPINFO& info) {
    if (info.iContextType == HELPINFO_MENUITEM) {
        // A menu item always passes its request on, 0 included.
        const MenuItemLayout* item = MenuItemOf(info.iCtrlId);
        DispatchHelp(helpHook_, item ? item->helpContext : 0);
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
    if (focused && TraitsOf(focused->layout->kind).isPushButton) return focused == &slot;
    return slot.layout->id == layout_.defaultButton;
}

void FormWindow::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlSlot* slot = SlotOf(static_cast<int>(item.CtlID));
    if (!slot) return;
    switch (slot->layout->kind) {
    case ControlKind::PictureButton: {
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
        break;
    }
    case ControlKind::Picture:
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        if (slot->picture)
            DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, slot->picture.get(),
                       slot->pictureSize.cx, slot->pictureSize.cy, 0, nullptr, DI_NORMAL);
        break;
    case ControlKind::ListBox:
    case ControlKind::ComboList:
        DrawListItem(slot->layout->id, item);
        break;
    default:
        break;
    }
}

void FormWindow::Command(int id, int code, HWND control) {
    if (!control) {
        // A menu item or a shortcut; a shortcut of a disabled item does nothing.
        if (MenuItemOf(id)) Click(id);
        return;
    }
    const ControlSlot* slot = SlotOfWindow(control);
    if (!slot) return;
    const ControlLayout& row = *slot->layout;
    if (row.kind == ControlKind::ToolBar) {
        Click(id); // a tool button
        return;
    }
    if (row.kind == ControlKind::PictureButton && (code == BN_SETFOCUS || code == BN_KILLFOCUS)) {
        // The default frame follows the focus from button to button.
        for (const ControlSlot& other : slots_)
            if (other.layout->kind == ControlKind::PictureButton)
                InvalidateRect(other.window, nullptr, FALSE);
        return;
    }
    const WORD clickCode = TraitsOf(row.kind).clickCode;
    if (clickCode != kNoClick && code == clickCode) {
        if (row.kind == ControlKind::PictureButton)
            PressButton(id);
        else
            RunHandler(id, Event::Click);
    }
}

void FormWindow::Click(int id) {
    if (MenuItemOf(id)) {
        if (IsItemEnabled(id)) RunHandler(id, Event::Click);
        return;
    }
    const ControlLayout* row = RowOf(id);
    if (!row) return;
    if (row->kind == ControlKind::ToolButton) {
        if (IsToolButtonEnabled(id) && IsItemEnabled(row->linkedItem))
            RunHandler(row->linkedItem, Event::Click);
        return;
    }
    HWND control = ControlWindow(id);
    if (!control || !IsWindowEnabled(control)) return;
    if (row->kind == ControlKind::PictureButton)
        PressButton(id);
    else
        RunHandler(id, Event::Click);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = Handle();
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus();
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
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_TIMER:
        RunHandler(static_cast<int>(wParam), Event::Timer);
        return 0;
    case WM_DRAWITEM:
        if (!DrawMenuPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MEASUREITEM:
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        if (Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
        break;
    case WM_CONTEXTMENU:
        if (ShowContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
        break;
    case WM_MENUSELECT:
        MenuSelect(wParam, lParam);
        return 0;
    case WM_CTLCOLORLISTBOX:
        if (HBRUSH brush =
                ListBoxColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            StaticColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SETCURSOR:
        UpdateStatusHint(reinterpret_cast<HWND>(wParam));
        if (SetLinkCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
    case WM_SIZE:
        PlaceDocked();
        return 0;
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FormWindow::MeasureItem(MEASUREITEMSTRUCT& measure) const {
    if (MeasureMenuPicture(measure)) return;
    if (const ControlLayout* row = RowOf(static_cast<int>(measure.CtlID));
        row && row->itemHeight > 0)
        measure.itemHeight = static_cast<UINT>(Scale(row->itemHeight, dpi_));
}

bool FormWindow::Notify(NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW && ToolTipText(*reinterpret_cast<NMTTDISPINFOW*>(&header)))
        return true;
    if (header.code == LVN_GETDISPINFOW) {
        GiveListItemText(static_cast<int>(header.idFrom),
                         reinterpret_cast<NMLVDISPINFOW*>(&header)->item);
        return true;
    }
    return false;
}

// A virtual list holds no text: each line is asked for as it is shown, cut to
// the list's buffer.
void FormWindow::GiveListItemText(int id, LVITEMW& item) {
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const std::wstring text = ListItemText(id, static_cast<std::size_t>(item.iItem));
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, length);
    item.pszText[length] = L'\0';
}

bool FormWindow::ShowContextMenu(HWND control, LPARAM at) {
    const ControlSlot* slot = SlotOfWindow(control);
    if (!slot || !slot->layout->popupMenu) return false;
    ShowPopupMenu(*slot->layout, at);
    return true;
}

HBRUSH FormWindow::ListBoxColours(HDC dc, HWND list) const {
    const ControlSlot* slot = SlotOfWindow(list);
    if (!slot || !slot->layout->textColour) return nullptr; // the system's colours
    SetTextColor(dc, slot->layout->textColour->Resolve());
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

HBRUSH FormWindow::StaticColours(HDC dc, HWND control) const {
    const ControlSlot* slot = SlotOfWindow(control);
    const Colour colour =
        slot && slot->layout->textColour ? *slot->layout->textColour : layout_.textColour;
    SetTextColor(dc, colour.Resolve());
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

bool FormWindow::SetLinkCursor(HWND control, WORD hitTest) const {
    const ControlSlot* slot = SlotOfWindow(control);
    if (!slot || slot->layout->kind != ControlKind::LinkLabel || hitTest != HTCLIENT) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
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
        self->menuBar_ = nullptr;
        for (ControlSlot& slot : self->slots_)
            slot.window = nullptr;
        if (self->modal_ && self->modalResult_ == 0) self->modalResult_ = kResultCancel;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

} // namespace kelvorin::ui
