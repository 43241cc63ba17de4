#pragma once
// Layout tables: a window, its controls and its menus described as constant
// data, at 96 dots per inch, in the shape of the tables that lay the windows
// out. A FormWindow (ui/FormWindow.h) makes the window from them and keeps it
// scaled to its monitor.
//
// Write a table with designated initialisers, one row per control, e.g.
//   {.id = kOkButton, .kind = ControlKind::PictureButton, .left = 328, .top = 224,
//    .width = 75, .height = 25, .tabOrder = 0, .text = L"OK", .picture = &pictures::kCheckMark,
//    .modalResult = kResultOk}
#include "ui/Fonts.h"
#include "ui/Pictures.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

namespace kelvorin::ui {

// What a control is. Each kind is described once, in ui/ControlKinds.cpp: its
// window class, styles, keyboard behaviour and the notification that is its click.
enum class ControlKind {
    Label,         // static text in the form's colours; a click is its click
    LinkLabel,     // a label with the hand-shaped pointer
    Panel,         // a frame with a lowered bevel that holds other controls
    GroupBox,      // a frame with a title that holds other controls
    RichEdit,      // a rich-text box (msftedit), multi-line, Enter starts a new line
    Memo,          // a plain multi-line text box, no word wrap, Enter starts a new line
    PathLine,      // a read-only single line that shows a path, scrolled to its end
    ListBox,       // a list of text lines with one selection; a double click is its click
    ComboList,     // a drop-down list to choose from; a new choice is its click
    VirtualList,   // a list of text lines asked of the window when shown: any length costs nothing
    CheckBox,      // a check box that ticks itself
    RadioGroup,    // a frame with one radio button per item, in columns, one keyboard group
    RadioButton,   // an item of a radio group, made by the form from the group's row
    PictureButton, // a push button with a picture left of its caption
    Picture,       // a picture stretched to fill the control
    ToolBar,       // a tool bar whose buttons are the rows that name it as their parent
    ToolButton,    // a picture button of a tool bar, linked to a menu item
    ToolSeparator, // a gap between tool buttons, as wide as its row says
    StatusBar,     // a status bar with one simple panel
};

// A colour: an RGB value, or one of the system's colours (which follow the user's scheme).
struct Colour {
    bool system = true;
    int index = COLOR_WINDOWTEXT; // system colour index
    COLORREF rgb = 0;

    COLORREF Resolve() const { return system ? GetSysColor(index) : rgb; }
};

inline constexpr Colour kWindowText{};
inline constexpr Colour kGrayText{true, COLOR_GRAYTEXT, 0};
inline constexpr Colour kBlack{false, 0, RGB(0, 0, 0)};
inline constexpr Colour kBlue{false, 0, RGB(0, 0, 255)};

inline constexpr int kSizedToText = 0; // as width or height: the label sizes itself
inline constexpr int kNoTabStop = -1;  // as tab order: not in the order
inline constexpr int kResultOk = 1;    // modal results, as IDOK and IDCANCEL
inline constexpr int kResultCancel = 2;
inline constexpr int kNoImage = -1;

enum class FontRole { Form, Fixed };

// Docked controls take the full width of the window at its top or bottom edge
// and stay there when the window is resized; all others keep their place.
enum class Dock { None, Top, Bottom };

struct ControlLayout {
    int id = 0; // control id, unique in the window, not 0
    ControlKind kind = ControlKind::Label;
    int parent = 0; // id of the enclosing control; 0 for the window itself
    int left = 0;   // relative to the parent's client area, at 96 dots per inch
    int top = 0;
    int width = 0;
    int height = 0;
    int tabOrder = kNoTabStop; // among the controls of the same parent
    const wchar_t* text = L"";
    const wchar_t* hint = nullptr; // "short|long"; one text without "|" serves as both
    std::int32_t helpContext = 0;
    const PixelGrid* picture = nullptr; // of a picture button or a picture
    std::optional<Colour> textColour{}; // none: the window's text colour
    FontRole font = FontRole::Form;
    bool wordWrap = false;       // labels: break lines at the width, the height follows the text
    bool verticalScroll = false; // rich-text boxes
    int modalResult = 0;         // buttons: pressing one ends a modal window with this result
    bool visible = true;
    Dock dock = Dock::None;
    int itemHeight = 0;                      // list boxes, at 96 dots per inch; 0: the font's
    bool itemPictures = false;               // list boxes: the owner draws each item
    std::span<const wchar_t* const> items{}; // radio groups: one button per caption
    int columns = 1;                         // radio groups: filled column by column
    int checkedItem = -1;                    // radio groups: the item checked at creation
    int linkedItem = 0;                      // tool buttons: the menu item they stand for
    int popupMenu = 0;                       // the pop-up menu that a right click opens
    int focusControl = 0;                    // labels: what their accelerator letter focuses
    bool enabled = true;
};

enum class MenuKind {
    Item,      // runs a command
    Submenu,   // opens the items that name it as their parent
    Separator, // a line between items
    Popup,     // a pop-up menu of its own, opened by a control's right click
};

// Shortcuts are 16-bit values: the virtual-key code in the low byte, and
// 0x2000 for Shift, 0x4000 for Ctrl, 0x8000 for Alt.
inline constexpr std::uint16_t kShift = 0x2000;
inline constexpr std::uint16_t kCtrl = 0x4000;
inline constexpr std::uint16_t kAlt = 0x8000;

struct MenuItemLayout {
    int id = 0; // unique among the window's controls and menu items, not 0
    MenuKind kind = MenuKind::Item;
    int parent = 0; // the submenu or pop-up menu it is in; 0: the menu bar
    const wchar_t* caption = L"";
    std::uint16_t shortcut = 0;
    int image = kNoImage; // index into the form's image list
    std::int32_t helpContext = 0;
    const wchar_t* hint = nullptr;
    bool enabled = true;
};

enum class Placement { ScreenCentre, AsLaidOut };

struct FormLayout {
    const wchar_t* className;
    const wchar_t* caption;
    int clientWidth; // at 96 dots per inch
    int clientHeight;
    DWORD style;   // window styles: frame and title-bar buttons
    DWORD exStyle; // e.g. WS_EX_TOPMOST
    Placement placement = Placement::ScreenCentre;
    int left = 0; // on the screen, for Placement::AsLaidOut
    int top = 0;
    std::int32_t helpContext = 0;
    Colour textColour = kWindowText;
    bool showHints = false; // tooltips with the short hints
    int defaultButton = 0;  // pressed by Enter
    int cancelButton = 0;   // pressed by Esc
    std::span<const MenuItemLayout> menus{};
    // The pictures of menu items and tool buttons, by index; empty slots are null.
    std::span<const PixelGrid* const> images{};
    int statusBar = 0; // shows the long hints of the controls and menu items
};

// A radio group's items are controls of their own, their ids following the group's.
constexpr int RadioItemId(int groupId, int item) {
    return groupId + 1 + item;
}
constexpr int RadioItemIndex(int groupId, int itemId) {
    return itemId - groupId - 1;
}

namespace layout_check {

// How often the id stands for a control, a radio item or a menu item of the window.
constexpr int Uses(int id, const FormLayout& form, std::span<const ControlLayout> controls) {
    int uses = 0;
    for (const ControlLayout& row : controls) {
        uses += row.id == id;
        if (row.kind == ControlKind::RadioGroup)
            for (std::size_t i = 0; i < row.items.size(); ++i)
                uses += RadioItemId(row.id, static_cast<int>(i)) == id;
    }
    for (const MenuItemLayout& item : form.menus)
        uses += item.id == id;
    return uses;
}

constexpr bool IsControl(int id, std::span<const ControlLayout> controls) {
    for (const ControlLayout& row : controls)
        if (row.id == id) return true;
    return false;
}

constexpr bool IsMenuItem(int id, const FormLayout& form) {
    for (const MenuItemLayout& item : form.menus)
        if (item.id == id) return true;
    return false;
}

} // namespace layout_check

// Whether a window's tables hold together: every id set and used once in the
// window (radio items included), and every id that a row names is one of the
// window's. A FormWindow finds a missing id only by doing nothing, so each
// table is checked where it is written:
//   static_assert(IdsHoldTogether(kLayout, kControls));
constexpr bool IdsHoldTogether(const FormLayout& form, std::span<const ControlLayout> controls) {
    using namespace layout_check;
    const auto control = [&](int id) { return id == 0 || IsControl(id, controls); };
    const auto menuItem = [&](int id) { return id == 0 || IsMenuItem(id, form); };
    for (const ControlLayout& row : controls) {
        if (row.id == 0 || Uses(row.id, form, controls) != 1) return false;
        if (row.kind == ControlKind::RadioGroup)
            for (std::size_t i = 0; i < row.items.size(); ++i)
                if (Uses(RadioItemId(row.id, static_cast<int>(i)), form, controls) != 1)
                    return false;
        if (!control(row.parent) || !control(row.focusControl)) return false;
        if (!menuItem(row.linkedItem) || !menuItem(row.popupMenu)) return false;
    }
    for (const MenuItemLayout& item : form.menus) {
        if (item.id == 0 || Uses(item.id, form, controls) != 1) return false;
        if (!menuItem(item.parent)) return false;
    }
    return control(form.defaultButton) && control(form.cancelButton) && control(form.statusBar);
}

} // namespace kelvorin::ui
