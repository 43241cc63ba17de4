#pragma once
// A top-level window made from a layout table (ui/Layout.h): it creates the
// controls and menus, scales them to the monitor's density (also when that
// changes), draws the pictures, shows the hints as tooltips and in the status
// bar, routes F1 to a help hook and gives the keyboard the table's tab order,
// radio groups, default and cancel button, accelerator letters and shortcuts.
//
// A window class derives from FormWindow, passes its tables and registers a
// handler for each control, menu item and timer that has one (On). Every
// message loop passes each message to PreTranslateFormMessage first.
#include "ui/Dpi.h"
#include "ui/Help.h"
#include "ui/Layout.h"
#include "win32/Handles.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kelvorin::ui {

class FormWindow {
public:
    FormWindow(HINSTANCE instance, const FormLayout& layout,
               std::span<const ControlLayout> controls);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    // Creates the window and its controls, hidden; then FormCreate runs. An
    // owner keeps the window in front of it and on its monitor.
    bool Create(HWND owner = nullptr);
    HWND Handle() const { return window_.get(); }
    HWND ControlWindow(int id) const;
    UINT Dpi() const { return dpi_; }

    // Makes the window visible, puts it on top of the window stack and activates
    // it, also when it is visible already; FormActivate runs either way.
    void Show();
    void Hide();

    // Shows the window as a modal dialog: the thread's other windows are disabled
    // until a button with a modal result, or EndModal, ends it. Returns the
    // result, or 0 when the program is ending (WM_QUIT is passed on).
    int ShowModal();
    void EndModal(int result);
    bool IsModal() const { return modal_; }

    // The window's own help hook; without one, help goes to the application-wide event.
    void SetHelpHook(HelpHook hook) { helpHook_ = std::move(hook); }

    // Keyboard interface: shortcuts, Tab and Shift+Tab in tab order, arrows in
    // radio groups, Enter and Esc for the default and cancel buttons,
    // accelerator letters of the buttons. True when the message was used up.
    virtual bool PreTranslateMessage(const MSG& message);

    // The window that the handle belongs to, or null.
    static FormWindow* FromHandle(HWND window);

    // What a handler answers: a click (button, label, menu item, tool button
    // through its item, a list's double click or a new choice) or a timer.
    enum class Event { Click, Timer };
    using Handler = std::function<void()>;
    void On(int id, Event event, Handler handler);

    // Runs a control's or menu item's click as the user would: only while it
    // is enabled (a tool button: while its menu item is).
    void Click(int id);

    // Menu items and tool buttons.
    bool IsItemEnabled(int id) const;
    void EnableItem(int id, bool enabled);
    void SetToolButtonState(int id, bool enabled, bool indeterminate);
    bool IsToolButtonEnabled(int id) const;
    bool IsToolButtonIndeterminate(int id) const;
    HMENU MenuOf(int id) const; // the menu bar, a submenu or a pop-up menu

    // What the status bar shows now.
    std::wstring StatusText() const;

protected:
    virtual void FormCreate() {}
    virtual void FormActivate() {}
    // The close box, Alt+F4: ends a modal window with kResultCancel, else hides it.
    virtual void CloseRequest();
    // Derived windows extend this and call it for everything they do not handle.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Items of a list with item pictures.
    virtual void DrawListItem(int /*id*/, const DRAWITEMSTRUCT& /*item*/) {}
    // The lines of a virtual list, asked for as they are shown or read.
    virtual std::wstring ListItemText(int /*id*/, std::size_t /*index*/) { return {}; }
    // How many lines a virtual list has; it asks for those it shows.
    void SetListCount(int id, std::size_t count);

    // Asks for help on the context as F1 does: the window's hook, else the application's.
    void RequestHelp(std::int32_t context) const { DispatchHelp(helpHook_, context); }
    // Sets a control's text; a label sized to its text sizes itself again, a path line
    // shows the text's end.
    void SetControlText(int id, const wchar_t* text);
    // Puts a control on top of the controls that it overlaps.
    void BringToFront(int id);
    void StartTimer(int id, UINT milliseconds);
    void StopTimer(int id);
    void SetStatusText(const std::wstring& text);
    HFONT FontOf(const ControlLayout& row) const;
    const ControlLayout* RowOf(int id) const;

private:
    struct ControlSlot {
        const ControlLayout* layout = nullptr;
        HWND window = nullptr;
        UniqueIcon picture{};
        UniqueIcon disabledPicture{};
        SIZE pictureSize{0, 0};
    };
    struct MenuPicture {
        int id;
        UniqueIcon normal;
        UniqueIcon disabled;
    };
    struct HandlerEntry {
        int id;
        Event event;
        Handler handler;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterWindowClass() const;
    void ExpandRows(std::span<const ControlLayout> controls);
    bool CreateControl(ControlSlot& slot);
    void CreateTooltips();
    void ApplyFonts();
    void MakeIcons();
    void LayOut();
    void PlaceDocked();
    void SizeVirtualList(const ControlSlot& slot);
    void PlaceRadioItems(const ControlSlot& group, POINT origin, SIZE size);
    POINT OriginOf(const ControlLayout& row) const;
    SIZE MeasureText(const ControlSlot& slot, int wrapWidth) const;
    void MakePictures(ControlSlot& slot, SIZE controlSize);
    void PlaceOnScreen();
    SIZE FrameFor(SIZE client) const;
    void PlaceWithClient(POINT at, SIZE client);
    void ChangeDpi(UINT dpi, const RECT& suggested);

    // Menus, image list, tool bar (FormMenus.cpp).
    bool CreateMenus();
    void MakeMenuPictures();
    bool MeasureMenuPicture(MEASUREITEMSTRUCT& measure) const;
    bool DrawMenuPicture(const DRAWITEMSTRUCT& item) const;
    void MakeImageList();
    void ConfigureToolBar(const ControlSlot& toolBar, bool addButtons);
    const MenuItemLayout* MenuItemOf(int id) const;
    const ControlLayout* ToolButtonAt(HWND toolBar, POINT screenPoint) const;
    HWND ToolBarOf(const ControlLayout& button) const;
    void MenuSelect(WPARAM wParam, LPARAM lParam);
    void ShowPopupMenu(const ControlLayout& row, LPARAM at);
    bool ToolTipText(NMTTDISPINFOW& info);

    ControlSlot* SlotOf(int id);
    const ControlSlot* SlotOf(int id) const;
    const ControlSlot* SlotOfWindow(HWND window) const;
    const ControlLayout* ParentOf(const ControlLayout& row) const;
    const wchar_t* HintOf(const ControlLayout* row) const;
    const ControlSlot* FocusedSlot() const;
    bool IsActiveDefault(const ControlSlot& slot) const;
    std::wstring HintOfWindow(HWND window, POINT screenPoint) const; // the whole hint, or ""
    void UpdateStatusHint(HWND window);

    void HelpRequest(const HELPINFO& info);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void MeasureItem(MEASUREITEMSTRUCT& measure) const;
    bool Notify(NMHDR& header); // true when answered
    void GiveListItemText(int id, LVITEMW& item);
    bool ShowContextMenu(HWND control, LPARAM at);  // true when the control has one
    HBRUSH ListBoxColours(HDC dc, HWND list) const; // null: the system's colours
    HBRUSH StaticColours(HDC dc, HWND control) const;
    bool SetLinkCursor(HWND control, WORD hitTest) const; // true over a link
    void Command(int id, int code, HWND control);
    void RunHandler(int id, Event event);
    void PressButton(int id);
    bool PressIfUsable(int id);
    bool DialogKey(const MSG& message);
    bool MoveInRadioGroup(const ControlSlot& focused, bool forward);
    bool PressAccelerator(wchar_t letter);
    void MoveFocus(bool forward);
    void RememberFocus();
    void RestoreFocus();
    std::vector<int> TabSequence() const;

    HINSTANCE instance_;
    const FormLayout& layout_;
    std::deque<ControlLayout> rows_; // the table's rows, and the items of radio groups
    UniqueModule richEditLibrary_;
    UniqueFont formFont_;
    UniqueFont fixedFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::vector<ControlSlot> slots_;
    std::vector<HandlerEntry> handlers_;
    UniqueWindow window_;
    UniqueWindow tooltips_;
    HMENU menuBar_ = nullptr; // the window destroys it with itself
    std::vector<UniqueMenu> popupMenus_;
    std::vector<std::pair<int, HMENU>> menus_; // submenus and pop-ups by item id
    std::vector<MenuPicture> menuPictures_;
    UniqueImageList imageList_;
    UniqueAccelerators accelerators_;
    std::wstring tipText_;    // the text a tool bar's tooltip asked for last
    std::wstring statusText_; // what the status bar shows
    UINT dpi_ = kLayoutDpi;
    HWND lastFocus_ = nullptr;
    HelpHook helpHook_;
    bool modal_ = false;
    int modalResult_ = 0;
};

// Offers the message to the keyboard interface of the FormWindow it is for.
// Every message loop calls this before TranslateMessage and DispatchMessage.
bool PreTranslateFormMessage(const MSG& message);

} // namespace kelvorin::ui
