#include "ui/ControlKinds.h"

#include <commctrl.h>
#include <richedit.h>

#include <array>

namespace kelvorin::ui {

namespace {

// In the order of ControlKind, which the check below holds to.
// SS_NOTIFY: labels see the mouse, for clicks and tooltips. A list box keeps
// its own order (the program's one path order), so none is sorted by Windows.
constexpr std::array kTraits{
    KindTraits{.kind = ControlKind::Label,
               .className = WC_STATICW,
               .style = SS_NOTIFY | SS_LEFTNOWORDWRAP,
               .isLabel = true,
               .clickCode = STN_CLICKED},
    KindTraits{.kind = ControlKind::LinkLabel,
               .className = WC_STATICW,
               .style = SS_NOTIFY | SS_LEFTNOWORDWRAP,
               .isLabel = true,
               .clickCode = STN_CLICKED},
    KindTraits{.kind = ControlKind::Panel,
               .className = WC_STATICW,
               .style = SS_SUNKEN,
               .isContainer = true},
    KindTraits{.kind = ControlKind::GroupBox,
               .className = WC_BUTTONW,
               .style = BS_GROUPBOX,
               .isContainer = true},
    KindTraits{.kind = ControlKind::RichEdit,
               .className = MSFTEDIT_CLASS,
               .style = WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .keepsEnterAndEsc = true},
    KindTraits{.kind = ControlKind::Memo,
               .className = WC_EDITW,
               .style = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                        ES_AUTOHSCROLL,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .keepsEnterAndEsc = true},
    KindTraits{.kind = ControlKind::PathLine,
               .className = WC_EDITW,
               .style = WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true},
    KindTraits{.kind = ControlKind::ListBox,
               .className = WC_LISTBOXW,
               .style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true,
               .clickCode = LBN_DBLCLK},
    KindTraits{.kind = ControlKind::ComboList,
               .className = WC_COMBOBOXW,
               .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
               .takesFocus = true,
               .clickCode = CBN_SELCHANGE},
    // VirtualList: a list view in report view with one column and no header,
    // which looks and reads as a list box.
    KindTraits{.kind = ControlKind::VirtualList,
               .className = WC_LISTVIEWW,
               .style = WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA |
                        LVS_SINGLESEL | LVS_SHOWSELALWAYS,
               .exStyle = WS_EX_CLIENTEDGE,
               .takesFocus = true},
    KindTraits{.kind = ControlKind::CheckBox,
               .className = WC_BUTTONW,
               .style = WS_TABSTOP | BS_AUTOCHECKBOX,
               .takesFocus = true,
               .takesNoTypedChars = true},
    KindTraits{.kind = ControlKind::RadioGroup,
               .className = WC_BUTTONW,
               .style = BS_GROUPBOX,
               .isContainer = true},
    KindTraits{.kind = ControlKind::RadioButton,
               .className = WC_BUTTONW,
               .style = BS_AUTORADIOBUTTON,
               .takesFocus = true,
               .takesNoTypedChars = true},
    KindTraits{.kind = ControlKind::PictureButton,
               .className = WC_BUTTONW,
               .style = WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY,
               .takesFocus = true,
               .isPushButton = true,
               .takesNoTypedChars = true,
               .clickCode = BN_CLICKED},
    KindTraits{.kind = ControlKind::Picture,
               .className = WC_STATICW,
               .style = SS_OWNERDRAW | SS_NOTIFY,
               .clickCode = STN_CLICKED},
    KindTraits{.kind = ControlKind::ToolBar,
               .className = TOOLBARCLASSNAMEW,
               .style = TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN |
                        CCS_NODIVIDER,
               .isContainer = true},
    KindTraits{.kind = ControlKind::ToolButton, .className = nullptr},
    KindTraits{.kind = ControlKind::ToolSeparator, .className = nullptr},
    KindTraits{.kind = ControlKind::StatusBar,
               .className = STATUSCLASSNAMEW,
               .style = SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN},
};

constexpr bool InKindOrder() {
    for (std::size_t i = 0; i < kTraits.size(); ++i)
        if (kTraits[i].kind != static_cast<ControlKind>(i)) return false;
    return kTraits.size() == static_cast<std::size_t>(ControlKind::StatusBar) + 1;
}
static_assert(InKindOrder(), "one row per kind, in the order of ControlKind");

} // namespace

const KindTraits& TraitsOf(ControlKind kind) {
    return kTraits[static_cast<std::size_t>(kind)];
}

} // namespace kelvorin::ui
