#include "ui/HelpForm.h"
#include "tests/ui/FormDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ui::THelpForm;

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        PumpMessages();
        ASSERT_TRUE(help_.Create());
        ASSERT_EQ(help_.Dpi(), 96u) << "the expected positions are those of the layout";
    }
    void TearDown() override { ui::SetApplicationHelpHook(nullptr); }

    HWND Control(int id) const { return help_.ControlWindow(id); }
    std::wstring Title() const { return WindowText(Control(THelpForm::TopLabel)); }
    // The box that the user sees: they all lie on one rectangle.
    HWND FrontBox() const { return VisibleAtMiddleOf(Control(THelpForm::RichEdit1)); }
    // What the main window's help hook does: store the topic, show the window.
    void Request(std::int32_t topic) {
        help_.SetHelpTopic(topic);
        help_.Show();
        PumpMessages();
    }

    THelpForm help_{GetModuleHandleW(nullptr)};
};

// The window itself as its table says: FormFrames (FormWindowTest.cpp).
TEST_F(HelpWindow, IsLaidOutAsItsTable) {
    EXPECT_EQ(Title(), L"...") << "until the first page selection";
    struct Row {
        int id;
        RECT rect;
        const wchar_t* caption;
    };
    const Row rows[] = {
        {THelpForm::ZurueckBitBtn, Rect(8, 224, 75, 25), L"Zurück"},
        {THelpForm::WeiterBitBtn, Rect(96, 224, 75, 25), L"Weiter"},
        {THelpForm::OKBitBtn, Rect(328, 224, 75, 25), L"OK"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ClientRectOf(Control(row.id)), row.rect) << "control " << row.id;
        EXPECT_EQ(WindowText(Control(row.id)), row.caption);
    }
    const RECT label = ClientRectOf(Control(THelpForm::TopLabel));
    EXPECT_EQ(label.left, 8);
    EXPECT_EQ(label.top, 8);
    for (int id = THelpForm::RichEdit1; id <= THelpForm::RichEdit5000; ++id) {
        HWND box = Control(id);
        EXPECT_EQ(ClientRectOf(box), Rect(8, 32, 400, 185)) << "box " << id;
        const LONG_PTR boxStyle = GetWindowLongPtrW(box, GWL_STYLE);
        const bool scrolls = id == THelpForm::RichEdit4000 || id == THelpForm::RichEdit5000;
        EXPECT_EQ((boxStyle & WS_VSCROLL) != 0, scrolls) << "box " << id;
        EXPECT_FALSE(boxStyle & ES_READONLY) << "box " << id;
        EXPECT_FALSE(boxStyle & (WS_HSCROLL | ES_AUTOHSCROLL)) << "lines wrap in box " << id;
    }
}

TEST_F(HelpWindow, UsesArialBold13WesternInEveryControl) {
    for (int id : {THelpForm::TopLabel, THelpForm::ZurueckBitBtn, THelpForm::WeiterBitBtn,
                   THelpForm::OKBitBtn}) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        ASSERT_TRUE(GetObjectW(font, sizeof(logFont), &logFont)) << "control " << id;
        EXPECT_STREQ(logFont.lfFaceName, L"Arial") << "control " << id;
        EXPECT_EQ(logFont.lfHeight, -13) << "control " << id;
        EXPECT_EQ(logFont.lfWeight, FW_BOLD) << "control " << id;
        EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET) << "control " << id;
    }
    // The boxes' text, in twips: 13 pixels at 96 dots per inch are 195.
    for (int id = THelpForm::RichEdit1; id <= THelpForm::RichEdit5000; ++id) {
        HWND box = Control(id);
        SendMessageW(box, EM_SETSEL, 0, -1);
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        SendMessageW(box, EM_SETSEL, 0, 0);
        EXPECT_STREQ(format.szFaceName, L"Arial") << "box " << id;
        EXPECT_EQ(format.yHeight, 195) << "box " << id;
        EXPECT_TRUE((format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD)) << "box " << id;
        EXPECT_EQ(format.bCharSet, ANSI_CHARSET) << "box " << id;
    }
}

// Every topic other than 1000 to 5000 in steps of 1000 shows page 0.
TEST_F(HelpWindow, ShowsThePageOfTheTopicOnActivation) {
    struct Row {
        std::int32_t topic;
        std::int32_t page;
        const wchar_t* title;
        int box;
    };
    const Row rows[] = {
        {1, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {0, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {1500, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {-1000, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {std::numeric_limits<std::int32_t>::min(), 0, L"Über Tavos Kelvorin...",
         THelpForm::RichEdit1},
        {999, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {1000, 1, L"Ordner", THelpForm::RichEdit1000},
        {2000, 2, L"Dateien", THelpForm::RichEdit2000},
        {3000, 3, L"Ziel", THelpForm::RichEdit3000},
        {4000, 4, L"Ohne Dateien", THelpForm::RichEdit4000},
        {5000, 5, L"Synchronisieren", THelpForm::RichEdit5000},
        {5001, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
        {6000, 0, L"Über Tavos Kelvorin...", THelpForm::RichEdit1},
    };
    OtherWindow other;
    for (const Row& row : rows) {
        other.Activate();
        Request(row.topic);
        EXPECT_EQ(GetActiveWindow(), help_.Handle()) << "topic " << row.topic;
        EXPECT_EQ(help_.HelpPage(), row.page) << "topic " << row.topic;
        EXPECT_EQ(help_.HelpTopic(), row.topic) << "the selection does not write the topic";
        EXPECT_EQ(Title(), row.title) << "topic " << row.topic;
        EXPECT_EQ(FrontBox(), Control(row.box)) << "topic " << row.topic;

        // The title label is sized to its text.
        HWND label = Control(THelpForm::TopLabel);
        WindowDc dc(label);
        SelectedObject font(dc.Get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE text{};
        GetTextExtentPoint32W(dc.Get(), row.title, static_cast<int>(wcslen(row.title)), &text);
        EXPECT_EQ(ClientRectOf(label).right - ClientRectOf(label).left, text.cx) << row.title;
    }
}

TEST_F(HelpWindow, PagesInARingAndKeepsTheTopicInStep) {
    Request(1);
    Click(Control(THelpForm::ZurueckBitBtn));
    EXPECT_EQ(help_.HelpPage(), 5);
    EXPECT_EQ(help_.HelpTopic(), 5000);
    EXPECT_EQ(Title(), L"Synchronisieren");
    Click(Control(THelpForm::WeiterBitBtn));
    EXPECT_EQ(help_.HelpPage(), 0);
    EXPECT_EQ(help_.HelpTopic(), 1);
    EXPECT_EQ(FrontBox(), Control(THelpForm::RichEdit1));

    struct Step {
        std::int32_t page;
        std::int32_t topic;
        int box;
    };
    Request(2000);
    const Step forward[] = {{3, 3000, THelpForm::RichEdit3000}, {4, 4000, THelpForm::RichEdit4000},
                            {5, 5000, THelpForm::RichEdit5000}, {0, 1, THelpForm::RichEdit1},
                            {1, 1000, THelpForm::RichEdit1000}, {2, 2000, THelpForm::RichEdit2000}};
    for (const Step& step : forward) {
        Click(Control(THelpForm::WeiterBitBtn));
        EXPECT_EQ(help_.HelpPage(), step.page);
        EXPECT_EQ(help_.HelpTopic(), step.topic);
        EXPECT_EQ(FrontBox(), Control(step.box)) << "page " << step.page;
    }
    const Step backward[] = {
        {1, 1000, THelpForm::RichEdit1000}, {0, 1, THelpForm::RichEdit1},
        {5, 5000, THelpForm::RichEdit5000}, {4, 4000, THelpForm::RichEdit4000},
        {3, 3000, THelpForm::RichEdit3000}, {2, 2000, THelpForm::RichEdit2000}};
    for (const Step& step : backward) {
        Click(Control(THelpForm::ZurueckBitBtn));
        EXPECT_EQ(help_.HelpPage(), step.page);
        EXPECT_EQ(help_.HelpTopic(), step.topic);
        EXPECT_EQ(FrontBox(), Control(step.box)) << "page " << step.page;
    }
}

TEST_F(HelpWindow, AHelpRequestActivatesTheVisibleWindowAndSwitchesThePage) {
    Request(1000);
    OtherWindow other;
    ASSERT_EQ(GetActiveWindow(), other.Handle());
    ASSERT_TRUE(IsWindowVisible(help_.Handle()));

    Request(4000);
    EXPECT_EQ(GetActiveWindow(), help_.Handle());
    EXPECT_EQ(GetForegroundWindow(), help_.Handle());
    EXPECT_EQ(help_.HelpPage(), 4);
    EXPECT_EQ(Title(), L"Ohne Dateien");
    EXPECT_EQ(FrontBox(), Control(THelpForm::RichEdit4000));

    // A return to the window by any way selects the page anew.
    other.Activate();
    help_.SetHelpTopic(3000);
    SetActiveWindow(help_.Handle());
    PumpMessages();
    EXPECT_EQ(help_.HelpPage(), 3);
    EXPECT_EQ(FrontBox(), Control(THelpForm::RichEdit3000));

    // Shown again while it is the active window already.
    help_.SetHelpTopic(2000);
    help_.Show();
    EXPECT_EQ(help_.HelpPage(), 2);
}

TEST_F(HelpWindow, SelectionKeepsTextsScrollPositionsAndFocus) {
    Request(2000);
    HWND notes = Control(THelpForm::RichEdit2000);
    HWND synchron = Control(THelpForm::RichEdit5000);
    SendMessageW(notes, EM_SETSEL, 0, 0);
    SendMessageW(notes, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Notiz: "));
    SendMessageW(synchron, EM_SETSEL, -1, -1);
    for (int i = 0; i < 20; ++i)
        SendMessageW(synchron, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\nmehr"));
    SendMessageW(synchron, EM_SETSEL, 0, 0);
    SendMessageW(synchron, EM_LINESCROLL, 0, 6);
    const auto firstLine = SendMessageW(synchron, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 0);
    SetFocus(notes);

    // "Weiter" through its command, which moves no focus, and then by activation.
    SendMessageW(help_.Handle(), WM_COMMAND, MAKEWPARAM(THelpForm::WeiterBitBtn, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(THelpForm::WeiterBitBtn)));
    EXPECT_EQ(help_.HelpPage(), 3);
    EXPECT_EQ(GetFocus(), notes);
    OtherWindow other;
    Request(5000);
    EXPECT_EQ(FrontBox(), synchron);
    EXPECT_EQ(GetFocus(), notes) << "the focus returns to where it was";
    EXPECT_EQ(SendMessageW(synchron, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
    EXPECT_EQ(RichEditLines(notes)[0],
              L"Notiz: In diesem Fenster werden während der Sicherung die ");
}

TEST_F(HelpWindow, OkAndTheCloseBoxHideItAndItShowsAgain) {
    OtherWindow other;
    Request(2000);
    SendMessageW(Control(THelpForm::RichEdit3000), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(L"getippt "));
    Click(Control(THelpForm::OKBitBtn));
    EXPECT_FALSE(IsWindowVisible(help_.Handle()));
    ASSERT_TRUE(IsWindow(help_.Handle())) << "hidden, never destroyed";
    EXPECT_EQ(help_.HelpTopic(), 2000);
    EXPECT_EQ(help_.HelpPage(), 2);

    Request(1); // "Inhalt"
    EXPECT_TRUE(IsWindowVisible(help_.Handle()));
    EXPECT_EQ(GetActiveWindow(), help_.Handle());
    EXPECT_EQ(help_.HelpPage(), 0);
    EXPECT_EQ(Title(), L"Über Tavos Kelvorin...");

    SendMessageW(help_.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(help_.Handle()));
    ASSERT_TRUE(IsWindow(help_.Handle()));
    Request(3000);
    EXPECT_TRUE(IsWindowVisible(help_.Handle()));
    EXPECT_EQ(Title(), L"Ziel");
    EXPECT_EQ(RichEditLines(Control(THelpForm::RichEdit3000))[0].substr(0, 8), L"getippt ")
        << "typed text survives hiding";
}

TEST_F(HelpWindow, PageTextsAreTheLinesOfThePages) {
    using Lines = std::vector<std::wstring>;
    struct Page {
        int box;
        Lines lines;
    };
    const Page pages[] = {
        {THelpForm::RichEdit1000,
         {L"In diesem Fenster werden die zu sichernden Ordner ",
          L"angezeigt. Über die Dialogbox können ganze Ordner ",
          L"hinzugefügt werden. Die Sicherung erfolgt recursiv,",
          L"d.H. einschließlich aller Unterordner.",
          L"Ordner können auch entfernt werden, dabei werden", L"keine Daten gelöscht."}},
        {THelpForm::RichEdit2000,
         {L"In diesem Fenster werden während der Sicherung die ",
          L"Dateien angezeigt. Eine Eingabe ist nicht möglich.",
          L"Zum Abschluß wird der Inhalt der Log-Datei ", L"(Fehlermeldungen) angezeigt",
          L"Die Logdatei wird unter \"Eigene Dateien\\Kelvorin.log\"",
          L"gespeichert und immer wieder überschrieben."}},
        {THelpForm::RichEdit3000,
         {L"Hier können Sie  den Laufwerksbuchstaben den externen", L"Datenträgers auswählen."}},
        {THelpForm::RichEdit4000,
         {L"Hier können Dateien von der Sicherung ausgenommen",
          L"weden, z.B. Backupdateien oder ausführbare Dateien.",
          L"Geben Sie einfach die Dateierweiterung ein."}},
        {THelpForm::RichEdit5000,
         {L"Wenn der Haken \"Synchron\" gesetzt ist, werden Dateien, ",
          L"welche im Original nicht mehr vorhanden sind (umbenannt",
          L"oder gelöscht), vom Sicherungsdatenträger gelöscht.",
          L"Es werden NUR Dateien, keine Ordner berücksichtigt.",
          L"Wenn ganze Ordner aus der Zusammenstellung entfernt",
          L"wurden, werden sie ebenfalls nicht berücksichtigt.", L"",
          L"BEDENKEN SIE, das unter Umständen wichtige Dateien,",
          L"welche versehendlich gelöscht wurden, ", L"aus der Sicherung entfernt werden!"}},
    };
    for (const Page& page : pages)
        EXPECT_EQ(RichEditLines(Control(page.box)), page.lines);

    // Page 0: three given lines and two that name the programming system.
    const Lines first = RichEditLines(Control(THelpForm::RichEdit1));
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first[0], L"Tavos \"Kelvorin\" ist ein kleines Tool zur schnellen ");
    EXPECT_EQ(first[1], L"Datensicherung auf externen Datenträgern,");
    EXPECT_EQ(first[2], L"z.B. USB-Sticks oder -Festplatten.");
    const std::wstring closing = first[3] + L" " + first[4];
    EXPECT_NE(closing.find(L"C++"), std::wstring::npos) << closing;
    EXPECT_NE(closing.find(L"Windows-API"), std::wstring::npos) << closing;
}

TEST_F(HelpWindow, TabFollowsTheTabOrderAndEnterPressesTheFocusedButton) {
    Request(1);
    ASSERT_EQ(GetFocus(), Control(THelpForm::OKBitBtn)) << "first in tab order";
    const int order[] = {THelpForm::RichEdit1,    THelpForm::RichEdit1000,  THelpForm::RichEdit2000,
                         THelpForm::RichEdit3000, THelpForm::RichEdit4000,  THelpForm::RichEdit5000,
                         THelpForm::WeiterBitBtn, THelpForm::ZurueckBitBtn, THelpForm::OKBitBtn};
    for (int id : order) {
        PressKey(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), Control(id)) << "expected control " << id;
    }
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PressKey(GetFocus(), VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), Control(THelpForm::ZurueckBitBtn)) << "Shift+Tab goes back";

    PressKey(GetFocus(), VK_RETURN);
    EXPECT_EQ(help_.HelpPage(), 5) << "Enter pressed \"Zurück\"";
    SetFocus(Control(THelpForm::RichEdit5000));
    PressKey(GetFocus(), VK_RETURN);
    EXPECT_TRUE(IsWindowVisible(help_.Handle())) << "Enter in a box is a new line, not \"OK\"";
    EXPECT_EQ(RichEditLines(Control(THelpForm::RichEdit5000)).size(), 11u);
}

TEST_F(HelpWindow, F1ChangesNothing) {
    int requests = 0;
    ui::SetApplicationHelpHook([&](WORD, LONG_PTR, bool&) { return ++requests, true; });
    Request(2000);
    SetFocus(Control(THelpForm::RichEdit2000));
    PressF1(help_.Handle());
    SetFocus(Control(THelpForm::OKBitBtn));
    PressF1(help_.Handle());
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(help_.HelpPage(), 2);
    EXPECT_EQ(help_.HelpTopic(), 2000);
}

TEST_F(HelpWindow, ButtonsShowTheirPicturesAndTheGreyTwinWhenDisabled) {
    Request(1);
    constexpr COLORREF kRed = RGB(0xE6, 0x14, 0x14);
    constexpr COLORREF kGreen = RGB(0x14, 0xB4, 0x14);
    constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
    HWND weiter = Control(THelpForm::WeiterBitBtn);
    EXPECT_GT(CountPixels(Control(THelpForm::ZurueckBitBtn), kRed), 40);
    EXPECT_GT(CountPixels(weiter, kRed), 40);
    EXPECT_GT(CountPixels(Control(THelpForm::OKBitBtn), kGreen), 20);
    const int greyBefore = CountPixels(weiter, kGrey);
    EnableWindow(weiter, FALSE);
    EXPECT_EQ(CountPixels(weiter, kRed), 0);
    EXPECT_GT(CountPixels(weiter, kGrey), greyBefore + 20);
    EnableWindow(weiter, TRUE);
    EXPECT_GT(CountPixels(weiter, kRed), 40);
}

} // namespace
} // namespace kelvorin::testing
