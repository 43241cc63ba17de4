#include "ui/AboutBox.h"
#include "tests/ui/FormDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ui::TAboutBox;

// Stands in for ShellExecuteW: records the call and fails as the shell may.
struct ShellCall {
    HWND owner;
    std::wstring verb;
    std::wstring file;
    bool parameters;
    bool folder;
    INT show;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                    LPCWSTR folder, INT show) {
    shellCalls.push_back({owner, verb ? verb : L"", file ? file : L"", parameters != nullptr,
                          folder != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        PumpMessages();
        shellCalls.clear();
        ASSERT_TRUE(about_.Create(owner_.Handle()));
        ASSERT_EQ(about_.Dpi(), 96u) << "the expected positions are those of the layout";
    }
    HWND Control(int id) const { return about_.ControlWindow(id); }

    // The hint that the control's tooltip shows.
    std::wstring TooltipOf(int id) const {
        HWND tooltips = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (std::wstring(name) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&tooltips));
        for (HWND window = tooltips; window; window = GetWindow(window, GW_HWNDNEXT)) {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name) != TOOLTIPS_CLASSW ||
                GetWindow(window, GW_OWNER) != about_.Handle())
                continue;
            wchar_t text[128] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = about_.Handle();
            tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
            tool.lpszText = text;
            SendMessageW(window, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
            return text;
        }
        return L"(no tooltip window)";
    }

    OtherWindow owner_;
    TAboutBox about_{GetModuleHandleW(nullptr), &RecordShellExecute};
};

// The window itself as its table says: FormFrames (FormWindowTest.cpp).
TEST_F(AboutBox, IsLaidOutAsItsTable) {
    EXPECT_EQ(ClientRectOf(Control(TAboutBox::Panel1)), Rect(8, 8, 281, 161));
    EXPECT_TRUE(GetWindowLongPtrW(Control(TAboutBox::Panel1), GWL_STYLE) & SS_SUNKEN);
    EXPECT_EQ(ClientRectOf(Control(TAboutBox::ProgramIcon)), Rect(24, 24, 81, 81));
    EXPECT_EQ(ClientRectOf(Control(TAboutBox::OKBitBtn)), Rect(104, 184, 75, 25));

    // Labels at their place in the panel, with texts and hints.
    const struct {
        int id;
        int top;
        const wchar_t* text;
        const wchar_t* hint;
    } labels[] = {
        {TAboutBox::ProductName, 16, L"Datensicherung", L"Datensicherung"},
        {TAboutBox::Version, 40, L"Version 2.0.0", L"Version 2.0.0"},
        {TAboutBox::Copyright, 64, L"Copyright © 2024 Tavo", L"Copyright © 2024 Tavo"},
        {TAboutBox::WwwLabel, 88, L"tavo.example.org",
         L"Verbinden mit Tavos Homepage (tavo.example.org)"},
    };
    for (const auto& label : labels) {
        const RECT rect = ClientRectOf(Control(label.id));
        EXPECT_EQ(rect.left, 8 + 112) << "label " << label.id;
        EXPECT_EQ(rect.top, 8 + label.top) << "label " << label.id;
        EXPECT_GT(rect.right - rect.left, 0) << "label " << label.id;
        EXPECT_EQ(WindowText(Control(label.id)), label.text);
        EXPECT_EQ(TooltipOf(label.id), label.hint);
    }
    const RECT link = ClientRectOf(Control(TAboutBox::WwwLabel));
    EXPECT_EQ(link.right - link.left, 105);
    EXPECT_GE(link.bottom - link.top, 13) << "tall enough for its text";
    EXPECT_EQ(TooltipOf(TAboutBox::ProgramIcon), L"Bild von TAVO");
    EXPECT_EQ(TooltipOf(TAboutBox::OKBitBtn), L"OK");
    EXPECT_EQ(WindowText(Control(TAboutBox::OKBitBtn)), L"&OK");
}

// Each way of closing ends the box with the result 1 (OK).
TEST_F(AboutBox, EscEnterAClickAndTheCloseBoxCloseItWithOk) {
    const struct {
        const char* way;
        std::function<void()> close;
    } ways[] = {
        {"Esc", [&] { PostKey(Control(TAboutBox::OKBitBtn), VK_ESCAPE); }},
        {"Enter", [&] { PostKey(Control(TAboutBox::OKBitBtn), VK_RETURN); }},
        {"click", [&] { PostClick(Control(TAboutBox::OKBitBtn)); }},
        {"close box", [&] { PostMessageW(about_.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+O", [&] { PostMessageW(Control(TAboutBox::OKBitBtn), WM_SYSCHAR, L'o', 1 << 29); }},
    };
    for (const auto& way : ways) {
        ModalWatchdog watchdog;
        bool ownerDisabled = false;
        bool focusOnOk = false;
        DuringModal check([&] {
            ownerDisabled = !IsWindowEnabled(owner_.Handle());
            focusOnOk = GetFocus() == Control(TAboutBox::OKBitBtn);
            way.close();
        });
        EXPECT_EQ(about_.ShowModal(), 1) << way.way;
        EXPECT_TRUE(ownerDisabled) << way.way << ": the box is modal";
        EXPECT_TRUE(focusOnOk) << way.way;
        EXPECT_FALSE(IsWindowVisible(about_.Handle())) << way.way;
        EXPECT_TRUE(IsWindowEnabled(owner_.Handle())) << way.way;
        EXPECT_EQ(GetActiveWindow(), owner_.Handle()) << way.way;
    }
}

TEST_F(AboutBox, TheLinkOpensTheHomePageAndTheBoxStaysOpen) {
    ModalWatchdog watchdog;
    bool openAfterClick = false;
    bool focusStaysOnOk = false;
    PostClick(Control(TAboutBox::WwwLabel));
    DuringModal check([&] {
        openAfterClick = IsWindowVisible(about_.Handle()) && about_.IsModal();
        PressKey(Control(TAboutBox::OKBitBtn), VK_TAB); // the only control that takes the focus
        focusStaysOnOk = GetFocus() == Control(TAboutBox::OKBitBtn);
        PostKey(Control(TAboutBox::OKBitBtn), VK_ESCAPE);
    });
    EXPECT_EQ(about_.ShowModal(), 1);
    EXPECT_TRUE(openAfterClick);
    EXPECT_TRUE(focusStaysOnOk);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].owner, nullptr);
    EXPECT_EQ(shellCalls[0].verb, L"open");
    EXPECT_EQ(shellCalls[0].file, L"https://tavo.example.org/");
    EXPECT_FALSE(shellCalls[0].parameters);
    EXPECT_FALSE(shellCalls[0].folder);
    EXPECT_EQ(shellCalls[0].show, SW_SHOW);
}

TEST_F(AboutBox, ShowsThePictureAndTheHandOverTheLink) {
    ModalWatchdog watchdog;
    int yellow = 0;
    int green = 0;
    HCURSOR overLink = nullptr;
    int requests = 0;
    ui::SetApplicationHelpHook([&](WORD, LONG_PTR, bool&) { return ++requests, true; });
    DuringModal check([&] {
        yellow = CountPixels(Control(TAboutBox::ProgramIcon), RGB(0xFF, 0xD6, 0x40));
        green = CountPixels(Control(TAboutBox::OKBitBtn), RGB(0x14, 0xB4, 0x14));
        SendMessageW(about_.Handle(), WM_SETCURSOR,
                     reinterpret_cast<WPARAM>(Control(TAboutBox::WwwLabel)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        overLink = GetCursor();
        PressF1(about_.Handle()); // the about box has no help context
        PostKey(Control(TAboutBox::OKBitBtn), VK_ESCAPE);
    });
    EXPECT_EQ(about_.ShowModal(), 1);
    ui::SetApplicationHelpHook(nullptr);
    EXPECT_GT(yellow, 800) << "the folder of the stretched picture, about 1000 pixels";
    EXPECT_GT(green, 20) << "the check mark";
    EXPECT_EQ(overLink, LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(requests, 0);
}

} // namespace
} // namespace kelvorin::testing
