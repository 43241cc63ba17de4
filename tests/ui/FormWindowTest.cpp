#include "ui/FormWindow.h"
#include "tests/ui/FormDriver.h"
#include "ui/AboutBox.h"
#include "ui/FolderSystem.h"
#include "ui/HelpForm.h"
#include "ui/Pictures.h"
#include "ui/PixelImage.h"
#include "ui/SelectDirForm.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ui::ControlKind;
using ui::ControlLayout;
using ui::FormLayout;

enum : int { kPanel = 1, kBoxInPanel, kPlainButton, kOwnContextButton, kFixedLabel };

constexpr FormLayout kWithHelp{.className = L"KelvorinTestFormWithHelp",
                               .caption = L"Test",
                               .clientWidth = 300,
                               .clientHeight = 200,
                               .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                               .exStyle = 0,
                               .helpContext = 1};
constexpr FormLayout kWithoutHelp{.className = L"KelvorinTestFormWithoutHelp",
                                  .caption = L"Test",
                                  .clientWidth = 300,
                                  .clientHeight = 200,
                                  .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  .exStyle = 0};

constexpr ControlLayout kControls[] = {
    {.id = kPanel,
     .kind = ControlKind::Panel,
     .left = 8,
     .top = 8,
     .width = 200,
     .height = 100,
     .helpContext = 1000},
    {.id = kBoxInPanel,
     .kind = ControlKind::RichEdit,
     .parent = kPanel,
     .left = 8,
     .top = 8,
     .width = 150,
     .height = 60,
     .tabOrder = 0},
    {.id = kPlainButton,
     .kind = ControlKind::PictureButton,
     .left = 8,
     .top = 150,
     .width = 75,
     .height = 25,
     .tabOrder = 1,
     .text = L"A"},
    {.id = kOwnContextButton,
     .kind = ControlKind::PictureButton,
     .left = 100,
     .top = 150,
     .width = 75,
     .height = 25,
     .tabOrder = 2,
     .text = L"B",
     .helpContext = 5000},
    {.id = kFixedLabel,
     .kind = ControlKind::Label,
     .left = 220,
     .top = 8,
     .width = ui::kSizedToText,
     .height = ui::kSizedToText,
     .text = L"C:\\Daten",
     .font = ui::FontRole::Fixed},
};

class TestForm : public ui::FormWindow {
public:
    explicit TestForm(const FormLayout& layout)
        : FormWindow(GetModuleHandleW(nullptr), layout, kControls) {}
};

struct HelpCall {
    WORD command;
    LONG_PTR context;
};

class HelpRouting : public ::testing::Test {
protected:
    void SetUp() override {
        PumpMessages();
        ui::SetApplicationHelpHook([this](WORD command, LONG_PTR data, bool&) {
            calls_.push_back({command, data});
            return true;
        });
    }
    void TearDown() override { ui::SetApplicationHelpHook(nullptr); }

    // F1 with the focus on the control.
    void F1On(const ui::FormWindow& form, int id) {
        SetFocus(form.ControlWindow(id));
        PressF1(form.Handle());
    }

    std::vector<HelpCall> calls_;
};

TEST_F(HelpRouting, F1AsksForTheContextOfTheControlOrOfWhatEnclosesIt) {
    TestForm form(kWithHelp);
    ASSERT_TRUE(form.Create());
    form.Show();
    PumpMessages();
    const struct {
        int focus;
        LONG_PTR context;
    } rows[] = {
        {kBoxInPanel, 1000},      // none of its own: the panel's
        {kPlainButton, 1},        // none of its own, no container: the window's
        {kOwnContextButton, 5000} // its own
    };
    for (const auto& row : rows) {
        calls_.clear();
        F1On(form, row.focus);
        ASSERT_EQ(calls_.size(), 1u) << "focus on " << row.focus;
        EXPECT_EQ(calls_[0].command, HELP_CONTEXT);
        EXPECT_EQ(calls_[0].context, row.context) << "focus on " << row.focus;
    }
}

TEST_F(HelpRouting, TheWindowsOwnHookComesBeforeTheApplicationWideOne) {
    TestForm form(kWithHelp);
    ASSERT_TRUE(form.Create());
    std::vector<LONG_PTR> own;
    form.SetHelpHook([&](WORD, LONG_PTR data, bool&) { return own.push_back(data), true; });
    form.Show();
    F1On(form, kOwnContextButton);
    EXPECT_EQ(own, std::vector<LONG_PTR>{5000});
    EXPECT_TRUE(calls_.empty());
}

TEST_F(HelpRouting, WithoutAnyContextNothingHappens) {
    TestForm form(kWithoutHelp);
    ASSERT_TRUE(form.Create());
    form.Show();
    F1On(form, kPlainButton);
    F1On(form, kBoxInPanel); // the panel's context
    EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(HelpRouting, AMenuItemPassesItsRequestOnEvenWithoutContext) {
    TestForm form(kWithoutHelp);
    ASSERT_TRUE(form.Create());
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_MENUITEM;
    info.iCtrlId = 42;
    SendMessageW(form.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].context, 0);
}

// Each dialog window, made as the program makes it: hidden, centred on the
// screen, with its table's caption, client size and frame.
TEST(FormFrames, EachWindowHasTheCaptionSizeAndFrameOfItsTable) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ui::Win32FolderSystem folders;
    const struct {
        const wchar_t* caption;
        std::function<std::unique_ptr<ui::FormWindow>()> make;
        RECT client;
        LONG_PTR style, notStyle, exStyle;
    } windows[] = {
        {L"Info", [&] { return std::make_unique<ui::TAboutBox>(instance); }, Rect(0, 0, 298, 218),
         WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME},
        {L"Hilfe", [&] { return std::make_unique<ui::THelpForm>(instance); }, Rect(0, 0, 418, 259),
         WS_SYSMENU | WS_THICKFRAME, WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_TOPMOST},
        {L"Verzeichnis auswählen",
         [&] { return std::make_unique<ui::TSelectDirForm>(instance, folders, L"C:\\", 0); },
         Rect(0, 0, 424, 255), WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
         WS_EX_DLGMODALFRAME},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(std::string(w.caption, w.caption + 4));
        const std::unique_ptr<ui::FormWindow> form = w.make();
        ASSERT_TRUE(form->Create());
        const HWND window = form->Handle();
        EXPECT_EQ(WindowText(window), w.caption);
        EXPECT_FALSE(IsWindowVisible(window)) << "created hidden";
        RECT client{}, frame{};
        GetClientRect(window, &client);
        EXPECT_EQ(client, w.client);
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        EXPECT_EQ(style & w.style, w.style);
        EXPECT_EQ(style & w.notStyle, 0);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & w.exStyle, w.exStyle);
        GetWindowRect(window, &frame);
        EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    }
}

TEST(FormScaling, ADensityChangeScalesControlsFontsAndWindow) {
    ui::THelpForm help(GetModuleHandleW(nullptr));
    ASSERT_TRUE(help.Create());
    ASSERT_EQ(help.Dpi(), 96u);
    RECT frame{};
    GetWindowRect(help.Handle(), &frame);
    const auto changeTo = [&](UINT dpi) {
        RECT suggested{frame.left, frame.top,
                       frame.left + MulDiv(frame.right - frame.left, static_cast<int>(dpi), 96),
                       frame.top + MulDiv(frame.bottom - frame.top, static_cast<int>(dpi), 96)};
        SendMessageW(help.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        return suggested;
    };
    const RECT suggested = changeTo(144);
    RECT now{};
    GetWindowRect(help.Handle(), &now);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    RECT client{};
    GetClientRect(help.Handle(), &client);
    EXPECT_EQ(client, Rect(0, 0, 627, 389)) << "418 x 259 at 150 %";
    EXPECT_EQ(help.Dpi(), 144u);
    EXPECT_EQ(ClientRectOf(help.ControlWindow(ui::THelpForm::RichEdit4000)),
              Rect(12, 48, 600, 278));
    EXPECT_EQ(ClientRectOf(help.ControlWindow(ui::THelpForm::OKBitBtn)), Rect(492, 336, 113, 38));
    auto font = reinterpret_cast<HFONT>(
        SendMessageW(help.ControlWindow(ui::THelpForm::OKBitBtn), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_TRUE(GetObjectW(font, sizeof(logFont), &logFont));
    EXPECT_EQ(logFont.lfHeight, -20); // 13 pixels at 150 %
    const RECT label = ClientRectOf(help.ControlWindow(ui::THelpForm::TopLabel));
    EXPECT_GE(label.bottom - label.top, 20) << "the label measured itself again";

    changeTo(96);
    EXPECT_EQ(ClientRectOf(help.ControlWindow(ui::THelpForm::OKBitBtn)), Rect(328, 224, 75, 25));
}

TEST(FormFonts, TheFixedFontIsCourierNew11Regular) {
    TestForm form(kWithoutHelp);
    ASSERT_TRUE(form.Create());
    auto font =
        reinterpret_cast<HFONT>(SendMessageW(form.ControlWindow(kFixedLabel), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_TRUE(GetObjectW(font, sizeof(logFont), &logFont));
    EXPECT_STREQ(logFont.lfFaceName, L"Courier New");
    EXPECT_EQ(logFont.lfHeight, -11);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET);
}

// A picture's transparent pixels lend it no colour when it is scaled.
TEST(PixelImage, ScalingAveragesOnlyWhatIsOpaque) {
    const ui::Image image{2, 1, {0xFFFF0000, ui::kTransparent}};
    const ui::Image half = ui::Scaled(image, 1, 1);
    EXPECT_EQ(half.pixels[0], 0x80FF0000u);
    const ui::Image same = ui::Scaled(image, 2, 1);
    EXPECT_EQ(same.pixels, image.pixels);
}

TEST(PixelImage, TheDisabledTwinIsAGreyOutlineEtchedInWhite) {
    const ui::Image square = ui::ToImage(std::vector<std::string_view>{
        "......",
        ".RRRR.",
        ".RRRR.",
        ".RRRR.",
        ".RRRR.",
        "......",
    });
    const ui::Image twin = ui::DisabledTwin(square);
    const ui::Image expected = ui::ToImage(std::vector<std::string_view>{
        "......",
        ".ssss.",
        ".sWWsW",
        ".sW.sW",
        ".ssssW",
        "..WWWW",
    });
    EXPECT_EQ(twin.pixels, expected.pixels);
}

// The program icon in the resource is the about box's picture.
TEST(ProgramIcon, TheResourceIconIsTheProgramsPicture) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self);
    program = program.substr(0, program.find_last_of(L'\\')) + L"\\..\\app\\Kelvorin.exe";
    const UniqueModule module(LoadLibraryExW(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(module) << "expected the program beside the tests";
    const UniqueIcon icon(
        static_cast<HICON>(LoadImageW(module.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0)));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = 32;
    header.bmiHeader.biHeight = -32;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(32 * 32);
    const WindowDc screen(nullptr);
    EXPECT_EQ(GetDIBits(screen.Get(), colour.get(), 0, 32, pixels.data(), &header, DIB_RGB_COLORS),
              32);
    EXPECT_EQ(pixels, ui::ToImage(ui::pictures::kProgram).pixels);
}

} // namespace
} // namespace kelvorin::testing
