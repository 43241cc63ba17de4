#pragma once
// Layout tables: a window and its controls described as constant data, at 96
// dots per inch, in the shape of the tables that lay the windows out. A Form
// (ui/Form.h) makes the window from them and keeps it scaled to its monitor.
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

namespace kelvorin::ui {

// What a control is; each kind is one window class with its fixed styles.
enum class ControlKind {
    Label,         // static text in the form's colours; clicks reach LabelClick
    LinkLabel,     // a label with the hand-shaped pointer
    Panel,         // a frame with a lowered bevel that holds other controls
    RichEdit,      // a rich-text box (msftedit), multi-line, Enter starts a new line
    PictureButton, // a push button with a picture left of its caption
    Picture,       // a picture stretched to fill the control
};

// A colour: an RGB value, or one of the system's colours (which follow the user's scheme).
struct Colour {
    bool system = true;
    int index = COLOR_WINDOWTEXT; // system colour index
    COLORREF rgb = 0;

    COLORREF Resolve() const { return system ? GetSysColor(index) : rgb; }
};

inline constexpr Colour kWindowText{};
inline constexpr Colour kBlack{false, 0, RGB(0, 0, 0)};
inline constexpr Colour kBlue{false, 0, RGB(0, 0, 255)};

inline constexpr int kSizedToText = 0; // as width or height: the label sizes itself
inline constexpr int kNoTabStop = -1;  // as tab order: not in the order
inline constexpr int kResultOk = 1;    // modal results, as IDOK and IDCANCEL
inline constexpr int kResultCancel = 2;

enum class FontRole { Form, Fixed };

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
};

} // namespace kelvorin::ui
