// The check of a window's tables fails the build on a wrong id: each broken
// table below must be refused, the sound one taken.
#include "ui/Layout.h"

namespace kelvorin::testing {
namespace {

using ui::ControlKind;
using ui::ControlLayout;
using ui::FormLayout;
using ui::IdsHoldTogether;
using ui::MenuItemLayout;
using ui::MenuKind;

constexpr const wchar_t* kTwoItems[] = {L"A:", L"B:"};

constexpr MenuItemLayout kMenus[] = {
    {.id = 50, .kind = MenuKind::Submenu, .caption = L"&Datei"},
    {.id = 51, .parent = 50, .caption = L"&Neu"},
};

constexpr FormLayout Form(int defaultButton = 0) {
    return {.className = L"T",
            .caption = L"T",
            .clientWidth = 10,
            .clientHeight = 10,
            .style = 0,
            .exStyle = 0,
            .defaultButton = defaultButton,
            .menus = kMenus};
}

constexpr ControlLayout kSound[] = {
    {.id = 1, .kind = ControlKind::ToolBar},
    {.id = 2, .kind = ControlKind::ToolButton, .parent = 1, .linkedItem = 51},
    {.id = 3, .kind = ControlKind::ListBox, .popupMenu = 50},
    {.id = 10, .kind = ControlKind::RadioGroup, .items = kTwoItems},
};
static_assert(IdsHoldTogether(Form(3), kSound));

constexpr ControlLayout kTwiceOne[] = {{.id = 1}, {.id = 1}};
static_assert(!IdsHoldTogether(Form(), kTwiceOne));

constexpr ControlLayout kZero[] = {{.id = 0}};
static_assert(!IdsHoldTogether(Form(), kZero));

// The group's items take 11 and 12.
constexpr ControlLayout kOnARadioItem[] = {
    {.id = 10, .kind = ControlKind::RadioGroup, .items = kTwoItems}, {.id = 12}};
static_assert(!IdsHoldTogether(Form(), kOnARadioItem));

constexpr ControlLayout kOnAMenuItem[] = {{.id = 51}};
static_assert(!IdsHoldTogether(Form(), kOnAMenuItem));

constexpr ControlLayout kNoSuchParent[] = {{.id = 1, .parent = 7}};
static_assert(!IdsHoldTogether(Form(), kNoSuchParent));

constexpr ControlLayout kLinkedToAControl[] = {
    {.id = 1, .kind = ControlKind::ToolBar},
    {.id = 2, .kind = ControlKind::ToolButton, .parent = 1, .linkedItem = 1}};
static_assert(!IdsHoldTogether(Form(), kLinkedToAControl));

constexpr ControlLayout kNoSuchPopup[] = {{.id = 1, .popupMenu = 52}};
static_assert(!IdsHoldTogether(Form(), kNoSuchPopup));

constexpr ControlLayout kNoSuchFocus[] = {{.id = 1, .focusControl = 2}};
static_assert(!IdsHoldTogether(Form(), kNoSuchFocus));

static_assert(!IdsHoldTogether(Form(4), kSound), "no default button 4");

} // namespace
} // namespace kelvorin::testing
