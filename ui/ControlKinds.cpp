#include "ui/ControlKinds.h"

#include <commctrl.h>
#include <richedit.h>

#include <array>

namespace kelvorin::ui {

namespace {

// In the order of ControlKind.
// SS_NOTIFY: labels see the mouse, for clicks and tooltips. A list box keeps
// its own order (the program's one path order), so none is sorted by Windows.
constexpr std::array kTraits{
    // Label
    KindTraits{.className = WC_STATICW,
               .style = SS_NOTIFY | SS_LEFTNOWORDWRAP,
               .isLabel = true,
               .clickCode = STN_CLICKED},
    // LinkLabel
    KindTraits{.className = WC_STATICW,
               .style = SS_NOTIFY | SS_LEFTNOWORDWRAP,
               .isLabel = true,
               .clickCode = STN_CLICKED},
    // Panel
    KindTraits{.className = WC_STATICW, .style = SS_SUNKEN, .isContainer = true},
    // GroupBox
    KindTraits{.className = WC_BUTTONW, .style = BS_GROUPBOX, .isContainer = true},
    // RichEdit
    KindTraits{.className = MSFTEDIT_CLASS,
               .style = WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .keepsEnterAndEsc = true},
    // Memo
    KindTraits{.className = WC_EDITW,
               .style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .keepsEnterAndEsc = true},
    // PathLine
    KindTraits{.className = WC_EDITW,
               .style = WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true},
    // ListBox
    KindTraits{.className = WC_LISTBOXW,
               .style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .clickCode = LBN_DBLCLK},
    // ComboList
    KindTraits{.className = WC_COMBOBOXW,
               .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               .takesFocus = true,
               .clickCode = CBN_SELCHANGE},
    // VirtualList: a list view in report view with one column and no header,
    // which looks and reads as a list box.
    KindTraits{.className = WC_LISTVIEWW,
               .style = WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA |
                        LVS_SINGLESEL | LVS_SHOWSELALWAYS,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true},
    // CheckBox
    KindTraits{.className = WC_BUTTONW,
               .style = WS_TABSTOP | BS_AUTOCHECKBOX,
               .takesFocus = true,
               .takesNoTypedChars = true},
    // RadioGroup
    KindTraits{.className = WC_BUTTONW, .style = BS_GROUPBOX, .isContainer = true},
    // RadioButton
    KindTraits{.className = WC_BUTTONW,
               .style = BS_AUTORADIOBUTTON,
               .takesFocus = true,
               .takesNoTypedChars = true},
    // PictureButton
    KindTraits{.className = WC_BUTTONW,
               .style = WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY,
               .takesFocus = true,
               .isPushButton = true,
               .takesNoTypedChars = true,
               .clickCode = BN_CLICKED},
    // Picture
    KindTraits{
        .className = WC_STATICW, .style = SS_OWNERDRAW | SS_NOTIFY, .clickCode = STN_CLICKED},
    // ToolBar
    KindTraits{.className = TOOLBARCLASSNAMEW,
               .style = TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN |
                        CCS_NODIVIDER,
               .isContainer = true},
    // ToolButton
    KindTraits{.className = nullptr},
    // ToolSeparator
    KindTraits{.className = nullptr},
    // StatusBar
    KindTraits{.className = STATUSCLASSNAMEW,
               .style = SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN},
};

static_assert(kTraits.size() == static_cast<std::size_t>(ControlKind::StatusBar) + 1,
              "one row per kind, in the order of ControlKind");

} // namespace

const KindTraits& TraitsOf(ControlKind kind) {
    return kTraits[static_cast<std::size_t>(kind)];
}

} // namespace kelvorin::ui
