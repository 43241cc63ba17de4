#include "ui/AboutBox.h"

#include "ui/Maker.h"
#include "ui/Texts.h"

namespace kelvorin::ui {

namespace {

using Id = TAboutBox::ControlId;

constexpr FormLayout kLayout{
    .className = L"TAboutBox",
    .caption = texts::kAboutCaption,
    .clientWidth = 298,
    .clientHeight = 218,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
    .placement = Placement::ScreenCentre,
    .textColour = kBlack,
    .showHints = true,
    .defaultButton = Id::OKBitBtn,
    .cancelButton = Id::OKBitBtn,
};

// Positions inside Panel1 are relative to it.
constexpr ControlLayout kControls[] = {
    {.id = Id::Panel1,
     .kind = ControlKind::Panel,
     .left = 8,
     .top = 8,
     .width = 281,
     .height = 161},
    {.id = Id::ProductName,
     .kind = ControlKind::Label,
     .parent = Id::Panel1,
     .left = 112,
     .top = 16,
     .width = kSizedToText,
     .height = kSizedToText,
     .text = texts::kProductName,
     .hint = texts::kProductName},
    {.id = Id::Version,
     .kind = ControlKind::Label,
     .parent = Id::Panel1,
     .left = 112,
     .top = 40,
     .width = kSizedToText,
     .height = kSizedToText,
     .text = texts::kVersion,
     .hint = texts::kVersion},
    {.id = Id::Copyright,
     .kind = ControlKind::Label,
     .parent = Id::Panel1,
     .left = 112,
     .top = 64,
     .width = kSizedToText,
     .height = kSizedToText,
     .text = maker::kCopyright,
     .hint = maker::kCopyright},
    {.id = Id::WwwLabel,
     .kind = ControlKind::LinkLabel,
     .parent = Id::Panel1,
     .left = 112,
     .top = 88,
     .width = 105,
     .height = kSizedToText,
     .text = maker::kHomePageHost,
     .hint = texts::kHomePageHint.data(),
     .textColour = kBlue,
     .wordWrap = true},
    {.id = Id::ProgramIcon,
     .kind = ControlKind::Picture,
     .parent = Id::Panel1,
     .left = 16,
     .top = 16,
     .width = 81,
     .height = 81,
     .hint = texts::kProgramPictureHint,
     .picture = &pictures::kProgram},
    {.id = Id::OKBitBtn,
     .kind = ControlKind::PictureButton,
     .left = 104,
     .top = 184,
     .width = 75,
     .height = 25,
     .tabOrder = 0,
     .text = texts::kAboutOkCaption,
     .hint = texts::kAboutOkHint,
     .picture = &pictures::kCheckMark,
     .modalResult = kResultOk},
};
static_assert(IdsHoldTogether(kLayout, kControls));

} // namespace

TAboutBox::TAboutBox(HINSTANCE instance, ShellExecuteFunction shellExecute)
    : FormWindow(instance, kLayout, kControls), shellExecute_(shellExecute) {
    On(WwwLabel, Event::Click, [this] { WwwLabelClick(); });
}

void TAboutBox::CloseRequest() {
    if (IsModal())
        EndModal(kResultOk);
    else
        Hide();
}

// Whether the shell could open the address is not reported; the box stays open.
void TAboutBox::WwwLabelClick() {
    shellExecute_(nullptr, L"open", maker::kHomePageAddress, nullptr, nullptr, SW_SHOW);
}

} // namespace kelvorin::ui
