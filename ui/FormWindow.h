#pragma once
// A top-level window made from a layout table (ui/Layout.h): it creates the
// controls, scales them to the monitor's density (also when that changes),
// draws the pictures, shows the hints as tooltips, routes F1 to a help hook and
// gives the keyboard the table's tab order, default button and cancel button.
//
// A window class derives from FormWindow, passes its tables and overrides the
// events it has handlers for (FormActivate, ButtonClick, LabelClick, ...).
// Every message loop passes each message to PreTranslateFormMessage first.
#include "ui/Dpi.h"
#include "ui/Handles.h"
#include "ui/Help.h"
#include "ui/Layout.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace kelvorin::ui {

class FormWindow {
public:
    FormWindow(HINSTANCE instance, const FormLayout& layout,
               std::span<const ControlLayout> controls);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    // Creates the window and its controls, hidden. An owner keeps the window in front of it.
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

    // Keyboard interface: Tab and Shift+Tab in tab order, Enter and Esc for the
    // default and cancel buttons, accelerator letters of the buttons. True when
    // the message was used up.
    virtual bool PreTranslateMessage(const MSG& message);

    // The window that the handle belongs to, or null.
    static FormWindow* FromHandle(HWND window);

protected:
    virtual void FormActivate() {}
    virtual void ButtonClick(int /*id*/) {}
    virtual void LabelClick(int /*id*/) {}
    // The close box, Alt+F4: ends a modal window with kResultCancel, else hides it.
    virtual void CloseRequest();
    // The help context of a menu item (F1 while it is highlighted).
    virtual std::int32_t MenuItemHelpContext(int /*itemId*/) const { return 0; }
    // Derived windows extend this and call it for everything they do not handle.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Sets a control's text; a label sized to its text sizes itself again.
    void SetControlText(int id, const wchar_t* text);
    // Puts a control on top of the controls that it overlaps.
    void BringToFront(int id);

private:
    struct ControlSlot {
        const ControlLayout* layout = nullptr;
        HWND window = nullptr;
        UniqueIcon picture{};
        UniqueIcon disabledPicture{};
        SIZE pictureSize{0, 0};
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterWindowClass() const;
    bool CreateControl(ControlSlot& slot);
    void CreateTooltips();
    void MakeFonts();
    void MakeIcons();
    void LayOut();
    POINT OriginOf(const ControlLayout& row) const;
    SIZE MeasureText(const ControlSlot& slot, int wrapWidth) const;
    void MakePictures(ControlSlot& slot, SIZE controlSize);
    void PlaceOnScreen();
    void ChangeDpi(UINT dpi, const RECT& suggested);

    ControlSlot* SlotOf(int id);
    const ControlSlot* SlotOf(int id) const;
    const ControlSlot* SlotOfWindow(HWND window) const;
    const ControlLayout* ParentOf(const ControlLayout& row) const;
    HFONT FontOf(const ControlLayout& row) const;
    const ControlSlot* FocusedSlot() const;
    bool IsActiveDefault(const ControlSlot& slot) const;

    void HelpRequest(const HELPINFO& info);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void Command(int id, int code, HWND control);
    void PressButton(int id);
    bool PressIfUsable(int id);
    bool DialogKey(const MSG& message);
    bool PressAccelerator(wchar_t letter);
    void MoveFocus(bool forward);
    void RestoreFocus();
    std::vector<int> TabSequence() const;

    HINSTANCE instance_;
    const FormLayout& layout_;
    std::span<const ControlLayout> rows_;
    UniqueModule richEditLibrary_;
    UniqueFont formFont_;
    UniqueFont fixedFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::vector<ControlSlot> slots_;
    UniqueWindow window_;
    UniqueWindow tooltips_;
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
