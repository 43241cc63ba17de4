// The menus, the image list and the tool bar of a FormWindow.
#include "ui/FormWindow.h"

#include "ui/Hints.h"
#include "ui/PictureIcons.h"
#include "ui/Shortcuts.h"

#include <windowsx.h>

#include <algorithm>

namespace kelvorin::ui {

const MenuItemLayout* FormWindow::MenuItemOf(int id) const {
    if (id == 0) return nullptr;
    for (const MenuItemLayout& item : layout_.menus)
        if (item.id == id) return &item;
    return nullptr;
}

HMENU FormWindow::MenuOf(int id) const {
    if (id == 0) return menuBar_;
    for (const auto& [itemId, menu] : menus_)
        if (itemId == id) return menu;
    return nullptr;
}

bool FormWindow::CreateMenus() {
    if (layout_.menus.empty()) return true;
    std::vector<ACCEL> accelerators;
    for (const MenuItemLayout& item : layout_.menus) {
        if (item.kind == MenuKind::Popup) {
            popupMenus_.emplace_back(CreatePopupMenu());
            menus_.emplace_back(item.id, popupMenus_.back().get());
            continue;
        }
        if (item.parent == 0 && !menuBar_) menuBar_ = CreateMenu();
        HMENU holder = MenuOf(item.parent);
        if (!holder) return false;

        std::wstring caption = item.caption;
        if (item.shortcut) caption += L'\t' + ShortcutText(item.shortcut);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        info.wID = static_cast<UINT>(item.id);
        info.fState = item.enabled ? MFS_ENABLED : MFS_GRAYED;
        if (item.kind == MenuKind::Separator) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.dwTypeData = caption.data();
        }
        if (item.kind == MenuKind::Submenu) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = CreatePopupMenu(); // destroyed with the menu that holds it
            menus_.emplace_back(item.id, info.hSubMenu);
        }
        if (!InsertMenuItemW(holder, GetMenuItemCount(holder), TRUE, &info)) return false;

        // A shortcut that several items share runs its command once: the first item's.
        if (item.shortcut &&
            std::none_of(accelerators.begin(), accelerators.end(), [&](const ACCEL& a) {
                const ACCEL b = AcceleratorOf(item.shortcut, 0);
                return a.fVirt == b.fVirt && a.key == b.key;
            }))
            accelerators.push_back(AcceleratorOf(item.shortcut, static_cast<WORD>(item.id)));
    }
    if (menuBar_ && !SetMenu(Handle(), menuBar_)) return false;
    if (!accelerators.empty())
        accelerators_.reset(
            CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size())));
    MakeMenuPictures();
    return true;
}

// The pictures are drawn by the window (HBMMENU_CALLBACK) with their
// transparency mask: not every system draws a menu bitmap's alpha channel.
void FormWindow::MakeMenuPictures() {
    const int size = Scale(16, dpi_);
    std::vector<MenuPicture> pictures;
    for (const MenuItemLayout& item : layout_.menus) {
        const auto slot = static_cast<std::size_t>(item.image);
        if (item.image == kNoImage || slot >= layout_.images.size() || !layout_.images[slot])
            continue;
        const PixelGrid& grid = *layout_.images[slot];
        pictures.push_back(
            {item.id, MakeIcon(grid, size, size), MakeDisabledIcon(grid, size, size)});
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoW(MenuOf(item.parent), static_cast<UINT>(item.id), FALSE, &info);
    }
    menuPictures_ = std::move(pictures);
    if (menuBar_) DrawMenuBar(Handle());
}

bool FormWindow::MeasureMenuPicture(MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU) return false;
    measure.itemWidth = measure.itemHeight = static_cast<UINT>(Scale(16, dpi_));
    return true;
}

bool FormWindow::DrawMenuPicture(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_MENU) return false;
    for (const MenuPicture& picture : menuPictures_) {
        if (picture.id != static_cast<int>(item.itemID)) continue;
        const bool greyed = item.itemState & (ODS_GRAYED | ODS_DISABLED);
        const int size = Scale(16, dpi_);
        const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - size) / 2;
        DrawIconEx(item.hDC, item.rcItem.left, top,
                   greyed ? picture.disabled.get() : picture.normal.get(), size, size, 0, nullptr,
                   DI_NORMAL);
    }
    return true;
}

void FormWindow::MakeImageList() {
    if (layout_.images.empty()) return;
    const int size = Scale(16, dpi_);
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK,
                                          static_cast<int>(layout_.images.size()), 0));
    if (!list) return;
    // Every slot keeps its index; an empty one holds a transparent picture.
    static constexpr std::string_view kEmptyRow = "................";
    static constexpr std::array<std::string_view, 16> kEmptyRows{
        kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow,
        kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow, kEmptyRow};
    for (const PixelGrid* picture : layout_.images) {
        const UniqueIcon icon = MakeIcon(picture ? *picture : PixelGrid(kEmptyRows), size, size);
        ImageList_AddIcon(list.get(), icon.get());
    }
    for (const ControlSlot& slot : slots_)
        if (slot.window && slot.layout->kind == ControlKind::ToolBar)
            SendMessageW(slot.window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
    imageList_ = std::move(list);
}

// Sizes at the window's density; the buttons are added once, in table order.
void FormWindow::ConfigureToolBar(const ControlSlot& toolBar, bool addButtons) {
    HWND bar = toolBar.window;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList_.get()));
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(Scale(16, dpi_), Scale(16, dpi_)));
    SendMessageW(bar, TB_SETINDENT, static_cast<WPARAM>(Scale(5, dpi_)), 0);
    for (const ControlLayout& row : rows_) {
        if (row.parent != toolBar.layout->id) continue;
        if (row.kind == ControlKind::ToolSeparator && !addButtons) {
            TBBUTTONINFOW info{};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_SIZE;
            info.cx = static_cast<WORD>(Scale(row.width, dpi_));
            SendMessageW(bar, TB_SETBUTTONINFOW, static_cast<WPARAM>(row.id),
                         reinterpret_cast<LPARAM>(&info));
        }
        if (!addButtons) continue;
        TBBUTTON button{};
        button.idCommand = row.id;
        button.iString = -1; // the captions are neither shown nor accelerators
        if (row.kind == ControlKind::ToolSeparator) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = Scale(row.width, dpi_);
        } else if (row.kind == ControlKind::ToolButton) {
            const MenuItemLayout* item = MenuItemOf(row.linkedItem);
            button.fsStyle = BTNS_BUTTON;
            button.iBitmap = item && item->image != kNoImage ? item->image : I_IMAGENONE;
            // Taken over from the item when the link is made.
            const bool enabled = row.enabled && (!item || item->enabled);
            button.fsState = enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
        } else {
            continue;
        }
        SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(23, dpi_), Scale(22, dpi_)));
}

HWND FormWindow::ToolBarOf(const ControlLayout& button) const {
    return ControlWindow(button.parent);
}

const ControlLayout* FormWindow::ToolButtonAt(HWND toolBar, POINT screenPoint) const {
    POINT at = screenPoint;
    ScreenToClient(toolBar, &at);
    const auto index =
        static_cast<int>(SendMessageW(toolBar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
    if (index < 0) return nullptr;
    TBBUTTON button{};
    if (!SendMessageW(toolBar, TB_GETBUTTON, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&button)))
        return nullptr;
    return RowOf(button.idCommand);
}

bool FormWindow::ToolTipText(NMTTDISPINFOW& info) {
    const ControlLayout* row = RowOf(static_cast<int>(info.hdr.idFrom));
    if (!row || row->kind != ControlKind::ToolButton) return false;
    const wchar_t* hint = HintOf(row);
    tipText_ = hint ? ShortHint(hint) : std::wstring();
    info.lpszText = tipText_.data();
    return true;
}

bool FormWindow::IsItemEnabled(int id) const {
    const MenuItemLayout* item = MenuItemOf(id);
    if (!item) return false;
    const UINT state = GetMenuState(MenuOf(item->parent), static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_DISABLED | MF_GRAYED));
}

void FormWindow::EnableItem(int id, bool enabled) {
    if (const MenuItemLayout* item = MenuItemOf(id))
        EnableMenuItem(MenuOf(item->parent), static_cast<UINT>(id),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void FormWindow::SetToolButtonState(int id, bool enabled, bool indeterminate) {
    const ControlLayout* row = RowOf(id);
    if (!row) return;
    HWND bar = ToolBarOf(*row);
    SendMessageW(bar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enabled, 0));
    SendMessageW(bar, TB_INDETERMINATE, static_cast<WPARAM>(id), MAKELPARAM(indeterminate, 0));
}

bool FormWindow::IsToolButtonEnabled(int id) const {
    const ControlLayout* row = RowOf(id);
    return row && SendMessageW(ToolBarOf(*row), TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0);
}

bool FormWindow::IsToolButtonIndeterminate(int id) const {
    const ControlLayout* row = RowOf(id);
    return row &&
           SendMessageW(ToolBarOf(*row), TB_ISBUTTONINDETERMINATE, static_cast<WPARAM>(id), 0);
}

// The status bar shows the long hint of the highlighted item, nothing for a
// separator or an item without one, and nothing once the menu is closed.
void FormWindow::MenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (!layout_.statusBar) return;
    if (flags == 0xFFFF && !menu) {
        SetStatusText(L"");
        return;
    }
    int id = LOWORD(wParam);
    if (flags & MF_POPUP) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID;
        id = GetMenuItemInfoW(menu, LOWORD(wParam), TRUE, &info) ? static_cast<int>(info.wID) : 0;
    }
    const MenuItemLayout* item = MenuItemOf(id);
    SetStatusText(item && item->hint && !(flags & MF_SEPARATOR) ? LongHint(item->hint) : L"");
}

void FormWindow::ShowPopupMenu(const ControlLayout& row, LPARAM at) {
    HMENU menu = MenuOf(row.popupMenu);
    if (!menu) return;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (point.x == -1 && point.y == -1) { // from the keyboard: at the control
        RECT rect{};
        GetWindowRect(ControlWindow(row.id), &rect);
        point = {rect.left, rect.top};
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, Handle(), nullptr);
}

} // namespace kelvorin::ui
