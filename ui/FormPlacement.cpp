// Where a FormWindow's controls and the window itself go, at the density of
// the window's monitor, and again when that changes.
#include "ui/FormWindow.h"

#include "ui/ControlKinds.h"
#include "ui/PictureIcons.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace kelvorin::ui {

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
        if (!slot.window || row.dock != Dock::None || row.kind == ControlKind::RadioButton)
            continue;
        const POINT origin = OriginOf(row);
        SIZE size{Scale(row.width, dpi_), Scale(row.height, dpi_)};
        if (TraitsOf(row.kind).isLabel &&
            (row.width == kSizedToText || row.height == kSizedToText)) {
            const SIZE text = MeasureText(slot, row.wordWrap ? size.cx : 0);
            if (row.width == kSizedToText) size.cx = text.cx;
            if (row.height == kSizedToText) size.cy = text.cy;
        }
        const POINT at{origin.x + Scale(row.left, dpi_), origin.y + Scale(row.top, dpi_)};
        if (row.kind == ControlKind::ComboList)
            size.cy = Scale(row.height * 10, dpi_); // with room for its drop-down list
        SetWindowPos(slot.window, nullptr, at.x, at.y, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (row.itemHeight > 0 && row.kind == ControlKind::ListBox)
            SendMessageW(slot.window, LB_SETITEMHEIGHT, 0, Scale(row.itemHeight, dpi_));
        if (row.kind == ControlKind::VirtualList) SizeVirtualList(slot);
        if (row.kind == ControlKind::ComboList) {
            // The selection field is as high as the row; its items as their own row says.
            SendMessageW(slot.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         Scale(row.height, dpi_) - 6);
            if (row.itemHeight > 0)
                SendMessageW(slot.window, CB_SETITEMHEIGHT, 0, Scale(row.itemHeight, dpi_));
        }
        if (row.kind == ControlKind::RadioGroup) PlaceRadioItems(slot, at, size);
        if (row.kind == ControlKind::ToolBar) ConfigureToolBar(slot, false);
        MakePictures(slot, size);
        InvalidateRect(slot.window, nullptr, TRUE);
    }
    PlaceDocked();
}

// The items fill the columns one after the other, top down, below the title.
void FormWindow::PlaceRadioItems(const ControlSlot& group, POINT origin, SIZE size) {
    const ControlLayout& row = *group.layout;
    const int count = static_cast<int>(row.items.size());
    if (count == 0) return;
    const int columns = std::max(1, row.columns);
    const int perColumn = (count + columns - 1) / columns;
    WindowDc dc(group.window);
    SelectedObject font(dc.Get(), FontOf(row));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    const int columnWidth = (size.cx - Scale(10, dpi_)) / columns;
    const int free = size.cy - metrics.tmHeight - Scale(5, dpi_);
    const int itemHeight = free / perColumn;
    const int top = metrics.tmHeight + 1 + (free % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        HWND item = ControlWindow(RadioItemId(row.id, i));
        SetWindowPos(item, nullptr, origin.x + Scale(8, dpi_) + (i / perColumn) * columnWidth,
                     origin.y + top + (i % perColumn) * itemHeight, columnWidth, itemHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// One column as wide as the list, and rows as high as the row says: a list
// view takes its row height from its small pictures, so an empty one sets it
// (one pixel less: the list view puts one between its rows).
void FormWindow::SizeVirtualList(const ControlSlot& slot) {
    const int height = slot.layout->itemHeight > 0 ? Scale(slot.layout->itemHeight, dpi_) - 1 : 0;
    if (height > 0) {
        HIMAGELIST rows = ImageList_Create(1, height, ILC_COLOR32, 1, 0);
        // The list view destroys the list it holds with itself; the one it lets go is ours.
        const UniqueImageList previous(reinterpret_cast<HIMAGELIST>(SendMessageW(
            slot.window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows))));
    }
    SendMessageW(slot.window, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

void FormWindow::PlaceDocked() {
    RECT client{};
    GetClientRect(Handle(), &client);
    for (const ControlSlot& slot : slots_) {
        const ControlLayout& row = *slot.layout;
        if (!slot.window || row.dock == Dock::None) continue;
        const int height = Scale(row.height, dpi_);
        const int top = row.dock == Dock::Top ? 0 : client.bottom - height;
        SetWindowPos(slot.window, nullptr, 0, top, client.right, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::PlaceOnScreen() {
    const SIZE client{Scale(layout_.clientWidth, dpi_), Scale(layout_.clientHeight, dpi_)};
    const SIZE frame = FrameFor(client);
    // The monitor where the window belongs: its owner's, else the one it was made on.
    HWND owner = GetWindow(Handle(), GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : Handle(), MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT& area = monitor.rcMonitor;
    POINT at{area.left + Scale(layout_.left, dpi_), area.top + Scale(layout_.top, dpi_)};
    if (layout_.placement == Placement::ScreenCentre) {
        at = {area.left + (area.right - area.left - frame.cx) / 2,
              area.top + (area.bottom - area.top - frame.cy) / 2};
        PlaceWithClient(at, client);
        return;
    }
    // At a higher density the scaled place may lie partly off the screen. The
    // guessed frame is that of 96 dots per inch: the real one is known once placed.
    const RECT& work = monitor.rcWork;
    const auto inside = [&](POINT place, SIZE size) {
        return POINT{std::max(work.left, std::min<LONG>(place.x, work.right - size.cx)),
                     std::max(work.top, std::min<LONG>(place.y, work.bottom - size.cy))};
    };
    PlaceWithClient(inside(at, frame), client);
    RECT placed{};
    GetWindowRect(Handle(), &placed);
    const POINT kept =
        inside({placed.left, placed.top}, {placed.right - placed.left, placed.bottom - placed.top});
    if (kept.x != placed.left || kept.y != placed.top)
        SetWindowPos(Handle(), nullptr, kept.x, kept.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A first guess, which PlaceWithClient makes good.
SIZE FormWindow::FrameFor(SIZE client) const {
    const RECT frame = WindowRectForClient(client.cx, client.cy, layout_.style, layout_.exStyle,
                                           menuBar_ != nullptr, kLayoutDpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The frame's parts (menu bar lines, borders) need not scale as the system
// says they do: the client area is measured and the frame made up for it.
void FormWindow::PlaceWithClient(POINT at, SIZE client) {
    SIZE frame = FrameFor(client);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(Handle(), nullptr, at.x, at.y, frame.cx, frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT actual{};
        GetClientRect(Handle(), &actual);
        if (actual.right == client.cx && actual.bottom == client.cy) return;
        frame.cx += client.cx - actual.right;
        frame.cy += client.cy - actual.bottom;
    }
}

void FormWindow::ChangeDpi(UINT dpi, const RECT& suggested) {
    RECT client{};
    GetClientRect(Handle(), &client);
    const UINT previous = dpi_;
    dpi_ = dpi;
    ApplyFonts();
    MakeIcons();
    MakeImageList();
    MakeMenuPictures();
    LayOut();
    // Where the system suggests, with the client area scaled as the controls are.
    const auto scaled = [&](LONG length) {
        return MulDiv(length, static_cast<int>(dpi), static_cast<int>(previous));
    };
    PlaceWithClient({suggested.left, suggested.top}, {scaled(client.right), scaled(client.bottom)});
}

} // namespace kelvorin::ui
