#include "ui/HelpForm.h"

#include "ui/Texts.h"

#include <array>

namespace kelvorin::ui {

namespace {

using Id = THelpForm::ControlId;

constexpr FormLayout kLayout{
    .className = L"THelpForm",
    .caption = texts::kHelpCaption,
    .clientWidth = 418,
    .clientHeight = 259,
    .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
    .exStyle = WS_EX_TOPMOST,
    .placement = Placement::ScreenCentre,
    .textColour = kWindowText,
    .defaultButton = Id::OKBitBtn,
};

constexpr ControlLayout RichEdit(int id, int tabOrder, const wchar_t* text, bool scrolls) {
    return {.id = id,
            .kind = ControlKind::RichEdit,
            .left = 8,
            .top = 32,
            .width = 400,
            .height = 185,
            .tabOrder = tabOrder,
            .text = text,
            .verticalScroll = scrolls};
}

// The six boxes lie on one rectangle; the one in front hides the others.
constexpr ControlLayout kControls[] = {
    {.id = Id::TopLabel,
     .kind = ControlKind::Label,
     .left = 8,
     .top = 8,
     .width = kSizedToText,
     .height = kSizedToText,
     .text = texts::kHelpTitleBeforeFirstPage,
     .textColour = kBlue},
    RichEdit(Id::RichEdit1, 1, texts::kHelpPage0, false),
    RichEdit(Id::RichEdit1000, 2, texts::kHelpPage1, false),
    RichEdit(Id::RichEdit2000, 3, texts::kHelpPage2, false),
    RichEdit(Id::RichEdit3000, 4, texts::kHelpPage3, false),
    RichEdit(Id::RichEdit4000, 5, texts::kHelpPage4, true),
    RichEdit(Id::RichEdit5000, 6, texts::kHelpPage5, true),
    {.id = Id::ZurueckBitBtn,
     .kind = ControlKind::PictureButton,
     .left = 8,
     .top = 224,
     .width = 75,
     .height = 25,
     .tabOrder = 8,
     .text = texts::kZurueckCaption,
     .picture = &pictures::kArrowLeft},
    {.id = Id::WeiterBitBtn,
     .kind = ControlKind::PictureButton,
     .left = 96,
     .top = 224,
     .width = 75,
     .height = 25,
     .tabOrder = 7,
     .text = texts::kWeiterCaption,
     .picture = &pictures::kArrowRight},
    {.id = Id::OKBitBtn,
     .kind = ControlKind::PictureButton,
     .left = 328,
     .top = 224,
     .width = 75,
     .height = 25,
     .tabOrder = 0,
     .text = texts::kOkCaption,
     .picture = &pictures::kCheckMark,
     .modalResult = kResultOk},
};
static_assert(IdsHoldTogether(kLayout, kControls));

struct HelpPageRow {
    std::int32_t topic; // the HelpTopic that selects the page, written by paging to it
    const wchar_t* title;
    int box;
};

constexpr int kPageCount = 6;
constexpr std::array<HelpPageRow, kPageCount> kPages{{
    {kHelpGeneral, texts::kHelpTitlePage0, Id::RichEdit1}, // and every topic not listed below
    {kHelpFolders, texts::kHelpTitlePage1, Id::RichEdit1000},
    {kHelpFiles, texts::kHelpTitlePage2, Id::RichEdit2000},
    {kHelpTarget, texts::kHelpTitlePage3, Id::RichEdit3000},
    {kHelpExclusions, texts::kHelpTitlePage4, Id::RichEdit4000},
    {kHelpSynchron, texts::kHelpTitlePage5, Id::RichEdit5000},
}};

std::int32_t PageOfTopic(std::int32_t topic) {
    for (std::int32_t page = 1; page < kPageCount; ++page)
        if (kPages[static_cast<std::size_t>(page)].topic == topic) return page;
    return 0;
}

} // namespace

THelpForm::THelpForm(HINSTANCE instance) : FormWindow(instance, kLayout, kControls) {
    On(ZurueckBitBtn, Event::Click, [this] { ZurueckBitBtnClick(); });
    On(WeiterBitBtn, Event::Click, [this] { WeiterBitBtnClick(); });
    On(OKBitBtn, Event::Click, [this] { OKBitBtnClick(); });
}

void THelpForm::FormActivate() {
    SelectPage();
}

void THelpForm::ZurueckBitBtnClick() {
    const std::int32_t page = helpPage_ <= 0 ? kPageCount - 1 : helpPage_ - 1;
    helpTopic_ = kPages[static_cast<std::size_t>(page)].topic;
    SelectPage();
}

void THelpForm::WeiterBitBtnClick() {
    const std::int32_t page = helpPage_ >= kPageCount - 1 ? 0 : helpPage_ + 1;
    helpTopic_ = kPages[static_cast<std::size_t>(page)].topic;
    SelectPage();
}

void THelpForm::OKBitBtnClick() {
    Hide();
}

// Only the title and the box in front change: the boxes keep their text and
// scroll positions, and the focus stays where it is.
void THelpForm::SelectPage() {
    helpPage_ = PageOfTopic(helpTopic_);
    const HelpPageRow& page = kPages[static_cast<std::size_t>(helpPage_)];
    SetControlText(TopLabel, page.title);
    BringToFront(page.box);
}

} // namespace kelvorin::ui
