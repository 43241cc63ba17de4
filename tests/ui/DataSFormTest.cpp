// The main window in-process: its layout, menus, hints, keyboard, help,
// readiness check, folder commands and set file.
#include "tests/ui/DataSFormFixture.h"

#include "ui/Dpi.h"

#include <gmock/gmock.h>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;

// Keys as the user types them: through the system's input, modifiers included.
void Type(std::initializer_list<WORD> keys) {
    ASSERT_TRUE(SendKeys(keys));
    for (int i = 0; i < 10; ++i) {
        Sleep(10);
        PumpMessages();
    }
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return font;
}

TEST_F(DataSFormTest, LaysOutEveryControlAsItsTableSaysAtEachDensity) {
    Make();
    struct Row {
        int id;
        RECT rect; // at 96 dots per inch, in the window's client area
    };
    const Row rows[] = {
        {Id::OrdnerGroupBox, Rect(8, 40, 409, 177)},
        {Id::OrdnerListBox, Rect(16, 56, 393, 153)},
        {Id::DateiGroupBox, Rect(8, 224, 409, 177)},
        {Id::DateiListBox, Rect(16, 240, 393, 153)},
        {Id::SaveRadioGroup, Rect(424, 40, 193, 177)},
        {Id::AusschlussGroupBox, Rect(424, 224, 105, 177)},
        {Id::AusschlussMemo, Rect(432, 240, 89, 153)},
        {Id::SynchronCheckBox, Rect(536, 232, 81, 17)},
        {Id::SichernBitBtn, Rect(536, 344, 73, 25)},
        {Id::EndeBitBtn, Rect(536, 376, 73, 25)},
        {Id::LogListBox, Rect(96, 72, 305, 121)},
        {Id::ToolBar, Rect(0, 0, 624, 30)},
        {Id::StatusBar, Rect(0, 402, 624, 19)},
    };
    for (UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        if (dpi != form_->Dpi()) {
            const RECT frame = ui::WindowRectForClient(624, 421, WS_OVERLAPPEDWINDOW, 0, true, dpi);
            RECT suggested{100, 50, 100 + frame.right - frame.left, 50 + frame.bottom - frame.top};
            SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            PumpMessages();
        }
        const auto s = [dpi](int length) { return ui::Scale(length, dpi); };
        RECT client{};
        GetClientRect(Window(), &client);
        EXPECT_EQ(client, Rect(0, 0, s(624), s(421)));
        for (const Row& row : rows) {
            SCOPED_TRACE(row.id);
            const RECT& r = row.rect;
            EXPECT_EQ(ClientRectOf(Control(row.id)),
                      Rect(s(r.left), s(r.top), s(r.right - r.left), s(r.bottom - r.top)));
        }
        // The fonts, and the lists' item height.
        const LOGFONTW form = FontOf(Control(Id::OrdnerGroupBox));
        EXPECT_STREQ(form.lfFaceName, L"Arial");
        EXPECT_EQ(form.lfHeight, -s(13));
        EXPECT_EQ(form.lfWeight, FW_BOLD);
        for (int id : {Id::OrdnerListBox, Id::DateiListBox, Id::LogListBox, Id::AusschlussMemo}) {
            const LOGFONTW fixed = FontOf(Control(id));
            EXPECT_STREQ(fixed.lfFaceName, L"Courier New");
            EXPECT_EQ(fixed.lfHeight, -s(11));
            EXPECT_EQ(fixed.lfWeight, FW_NORMAL);
        }
        for (int id : {Id::OrdnerListBox, Id::LogListBox})
            EXPECT_EQ(SendMessageW(Control(id), LB_GETITEMHEIGHT, 0, 0), s(14));
        // The radio items fill four columns of seven, top down.
        const RECT a = ClientRectOf(Control(ui::RadioItemId(Id::SaveRadioGroup, 0)));
        const RECT g = ClientRectOf(Control(ui::RadioItemId(Id::SaveRadioGroup, 6)));
        const RECT h = ClientRectOf(Control(ui::RadioItemId(Id::SaveRadioGroup, 7)));
        const RECT z = ClientRectOf(Control(ui::RadioItemId(Id::SaveRadioGroup, 25)));
        EXPECT_EQ(a.left, g.left);
        EXPECT_GT(g.top, a.top);
        EXPECT_EQ(h.top, a.top);
        EXPECT_GT(h.left, a.left);
        EXPECT_EQ(z.top, ClientRectOf(Control(ui::RadioItemId(Id::SaveRadioGroup, 18))).top);
        EXPECT_LT(z.right, s(424 + 193));
        EXPECT_LT(g.bottom, s(40 + 177));
    }
}

TEST_F(DataSFormTest, StartsAsTheTablesSay) {
    Make();
    EXPECT_EQ(WindowText(Window()), L"Datensicherung");
    EXPECT_EQ(GetFocus(), Control(Id::OrdnerListBox));
    EXPECT_FALSE(IsWindowVisible(Control(Id::LogListBox)));
    EXPECT_FALSE(IsWindowEnabled(Control(Id::SichernBitBtn)));
    EXPECT_FALSE(form_->IsItemEnabled(Id::SichernItem));
    EXPECT_FALSE(form_->IsToolButtonEnabled(Id::SichernToolButton));
    EXPECT_TRUE(form_->IsToolButtonIndeterminate(Id::SichernToolButton));
    EXPECT_TRUE(form_->IsToolButtonEnabled(Id::OpenToolButton));
    EXPECT_EQ(WindowText(Control(Id::FileCopyLabel)), L"---");
    // 26 real radio buttons "A:" to "Z:"; with no set file "E:" stays checked.
    for (int i = 0; i < 26; ++i) {
        HWND item = Control(ui::RadioItemId(Id::SaveRadioGroup, i));
        const std::wstring caption{static_cast<wchar_t>(L'A' + i), L':'};
        EXPECT_EQ(WindowText(item), caption);
        EXPECT_EQ(SendMessageW(item, BM_GETCHECK, 0, 0), i == 4 ? BST_CHECKED : BST_UNCHECKED);
    }
    EXPECT_EQ(WindowText(Control(Id::SynchronCheckBox)), L"Synchron");
    EXPECT_EQ(WindowText(Control(Id::SichernBitBtn)), L"&Sichern");
    EXPECT_EQ(WindowText(Control(Id::EndeBitBtn)), L"&Ende");
}

TEST_F(DataSFormTest, MenusShowTheirShortcutsAndPictures) {
    Make();
    const struct {
        int id;
        const wchar_t* text;
        bool picture;
    } rows[] = {
        {Id::FileNeuItem, L"&Neu\tStrg+N", true},
        {Id::FileOpenItem, L"&Öffnen\tStrg+O", true},
        {Id::FileSaveItem, L"&Speichern\tStrg+S", true},
        {Id::FileExitItem, L"&Beenden\tAlt+X", true},
        {Id::SichernItem, L"&Sichern", true},
        {Id::AddOrdnerItem, L"Ordner &hinzufügen\tStrg+Einfg", true},
        {Id::DelOrdnerItem, L"Ordner &entfernen\tStrg+Entf", true},
        {Id::HelpItem, L"&Inhalt", true},
        {Id::HelpAboutItem, L"I&nfo...", false},
        {Id::AddOrdnerPuItem, L"Ordner hinzufügen\tStrg+Einfg", true},
        {Id::DelOrdnerPuItem, L"Ordner entfernen\tStrg+Entf", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        const int parent = row.id >= Id::AddOrdnerPuItem ? Id::OrdnerPopupMenu
                           : row.id >= Id::HelpItem      ? Id::HelpMenu
                           : row.id >= Id::SichernItem   ? Id::EditMenu
                                                         : Id::FileMenu;
        HMENU menu = form_->MenuOf(parent);
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(row.id), text, 64, MF_BYCOMMAND);
        EXPECT_STREQ(text, row.text);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        GetMenuItemInfoW(menu, static_cast<UINT>(row.id), FALSE, &info);
        EXPECT_EQ(info.hbmpItem != nullptr, row.picture);
    }
    HMENU bar = GetMenu(Window());
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    wchar_t title[32] = {};
    GetMenuStringW(bar, 1, title, 32, MF_BYPOSITION);
    EXPECT_STREQ(title, L"&Bearbeiten");
}

TEST_F(DataSFormTest, AShortcutThatBothMenusShareRunsItsCommandOnce) {
    Make();
    SetFocus(Control(Id::OrdnerListBox));
    Type({VK_CONTROL, VK_INSERT});
    ASSERT_EQ(chooserCalls_.size(), 1u);
    EXPECT_EQ(chooserCalls_[0].helpContext, 1000);

    SetFolders({L"C:\\A", L"C:\\B"});
    SendMessageW(Control(Id::OrdnerListBox), LB_SETCURSEL, 0, 0);
    SetFocus(Control(Id::OrdnerListBox));
    Type({VK_CONTROL, VK_DELETE});
    EXPECT_THAT(Items(Control(Id::OrdnerListBox)), ElementsAre(L"C:\\B"));
}

TEST_F(DataSFormTest, ARightClickOnTheFolderListOpensItsPopUpMenu) {
    Make();
    RECT list{};
    GetWindowRect(Control(Id::OrdnerListBox), &list);
    bool shown = false;
    ModalWatchdog watchdog;
    DuringModal look([&] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        shown = menu && IsWindowVisible(menu);
        EndMenu();
    });
    // What a right click makes of itself once the list has seen it.
    SendMessageW(Control(Id::OrdnerListBox), WM_CONTEXTMENU,
                 reinterpret_cast<WPARAM>(Control(Id::OrdnerListBox)),
                 MAKELPARAM(list.left + 20, list.top + 20));
    EXPECT_TRUE(shown);
}

TEST_F(DataSFormTest, RemovesTheSelectedFolderOnlyAndLeavesNoSelection) {
    Make();
    SetFolders({L"C:\\A", L"C:\\B", L"C:\\C"});
    form_->Click(Id::DelOrdnerItem);
    EXPECT_EQ(Items(Control(Id::OrdnerListBox)).size(), 3u) << "nothing was selected";

    SendMessageW(Control(Id::OrdnerListBox), LB_SETCURSEL, 1, 0);
    form_->Click(Id::DelOrdnerPuItem);
    EXPECT_THAT(Items(Control(Id::OrdnerListBox)), ElementsAre(L"C:\\A", L"C:\\C"));
    EXPECT_EQ(SendMessageW(Control(Id::OrdnerListBox), LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(DataSFormTest, AddsTheChosenFolderInItsPlaceAndKeepsTheSelection) {
    Make();
    SetFolders({L"C:\\A", L"C:\\C"});
    SendMessageW(Control(Id::OrdnerListBox), LB_SETCURSEL, 1, 0);
    chooserAnswer_ = L"C:\\B\\x";
    form_->Click(Id::AddOrdnerItem);
    EXPECT_THAT(Items(Control(Id::OrdnerListBox)), ElementsAre(L"C:\\A", L"C:\\B\\x", L"C:\\C"));
    EXPECT_EQ(SendMessageW(Control(Id::OrdnerListBox), LB_GETCURSEL, 0, 0), 2) << "still C:\\C";
    EXPECT_EQ(chooserCalls_.at(0).openedAt, Documents() + L"\\");
}

TEST_F(DataSFormTest, TheReadinessCheckSetsAllFourThingsOnEveryTick) {
    const wchar_t target = TargetDrive();
    const int targetIndex = target - L'A';
    const std::wstring other = std::wstring(1, SourceDrive()) + L":\\Daten";
    const std::wstring onTarget = std::wstring(1, target) + L":\\Daten";
    const std::wstring lowerOnTarget =
        std::wstring(1, static_cast<wchar_t>(towlower(target))) + L":\\daten";
    ASSERT_FALSE(GetLogicalDrives() & (1u << ('Q' - 'A'))) << "Q: stands for a missing drive";
    const struct {
        const char* what;
        std::vector<std::wstring> folders;
        int target;
        std::int64_t free;
        bool ready;
        int freeQueries;
    } rows[] = {
        {"no folder", {}, targetIndex, 2'000'000, false, 0},
        {"first folder on the target", {onTarget, other}, targetIndex, 2'000'000, false, 0},
        {"only the first folder counts", {other, onTarget}, targetIndex, 2'000'000, true, 1},
        {"a lower-case letter differs", {lowerOnTarget}, targetIndex, 2'000'000, true, 1},
        {"exactly 1,000,000 bytes", {other}, targetIndex, 1'000'000, false, 1},
        {"one byte more", {other}, targetIndex, 1'000'001, true, 1},
        {"free space unknown", {other}, targetIndex, -1, false, 1},
        {"target missing", {other}, 'Q' - 'A', 2'000'000, false, 0},
        {"an empty first entry is drive A", {L""}, 0, 2'000'000, false, 0},
        {"no target selected", {other}, -1, 2'000'000, false, 0},
    };
    Make();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetFolders(row.folders);
        SetTarget(row.target);
        files_.freeBytes = row.free;
        files_.freeSpaceQueries = 0;
        // The opposite first, so that every tick must set all four.
        form_->EnableItem(Id::SichernItem, !row.ready);
        EnableWindow(Control(Id::SichernBitBtn), !row.ready);
        form_->SetToolButtonState(Id::SichernToolButton, !row.ready, row.ready);

        form_->CheckTimerTimer();
        EXPECT_EQ(form_->IsItemEnabled(Id::SichernItem), row.ready);
        EXPECT_EQ(IsWindowEnabled(Control(Id::SichernBitBtn)) != FALSE, row.ready);
        EXPECT_EQ(form_->IsToolButtonEnabled(Id::SichernToolButton), row.ready);
        EXPECT_EQ(form_->IsToolButtonIndeterminate(Id::SichernToolButton), !row.ready);
        EXPECT_EQ(files_.freeSpaceQueries, row.freeQueries);
    }
    EXPECT_TRUE(boxes_.texts.empty()) << "the check reports nothing";
}

TEST_F(DataSFormTest, F1AsksForTheContextOfTheControlOrOfTheMenuItem) {
    Make();
    const struct {
        int focus;
        std::int32_t topic;
    } controls[] = {
        {Id::OrdnerListBox, 1000},
        {Id::DateiListBox, 2000},
        {ui::RadioItemId(Id::SaveRadioGroup, 4), 3000},
        {Id::AusschlussMemo, 4000},
        {Id::SynchronCheckBox, 5000},
        {Id::EndeBitBtn, 1},
    };
    for (const auto& row : controls) {
        SCOPED_TRACE(row.focus);
        helpForm_->Hide();
        helpForm_->SetHelpTopic(-7);
        SetForegroundWindow(Window());
        SetFocus(Control(row.focus));
        PressF1(Window());
        EXPECT_EQ(helpForm_->HelpTopic(), row.topic);
        EXPECT_TRUE(IsWindowVisible(helpForm_->Handle()));
    }
    const struct {
        int item;
        std::int32_t topic;
    } items[] = {{Id::AddOrdnerItem, 1000},
                 {Id::DelOrdnerPuItem, 1000},
                 {Id::FileNeuItem, 1},
                 {Id::HelpAboutItem, 1}};
    for (const auto& row : items) {
        SCOPED_TRACE(row.item);
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_MENUITEM;
        info.iCtrlId = row.item;
        SendMessageW(Window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(helpForm_->HelpTopic(), row.topic);
    }
    EXPECT_TRUE(boxes_.texts.empty()) << "nothing else is shown";
}

TEST_F(DataSFormTest, TheHelpCommandShowsTheFirstPage) {
    Make();
    helpForm_->SetHelpTopic(3000);
    form_->Click(Id::HelpToolButton);
    PumpMessages();
    EXPECT_EQ(helpForm_->HelpTopic(), 1);
    EXPECT_EQ(helpForm_->HelpPage(), 0);
    EXPECT_TRUE(IsWindowVisible(helpForm_->Handle()));
}

// The pointer resting on a control: the tooltip with the short hint, the
// status bar with the long one.
TEST_F(DataSFormTest, HintsShowInTheTooltipAndTheStatusBar) {
    Make();
    RECT button{};
    SendMessageW(Control(Id::ToolBar), TB_GETRECT, Id::SichernToolButton,
                 reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(Control(Id::ToolBar), nullptr, reinterpret_cast<POINT*>(&button), 2);
    RECT radio{};
    GetWindowRect(Control(ui::RadioItemId(Id::SaveRadioGroup, 2)), &radio);
    const struct {
        const char* what;
        POINT at;
        const wchar_t* tip;
        const wchar_t* status;
    } rows[] = {
        {"tool button",
         {(button.left + button.right) / 2, (button.top + button.bottom) / 2},
         L"Sichern",
         L"Datensicherung starten"},
        {"radio item",
         {radio.left + 4, (radio.top + radio.bottom) / 2},
         L"Sicherungslaufwerk",
         L"Sicherungslaufwerk"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetForegroundWindow(Window());
        SetCursorPos(row.at.x, row.at.y);
        std::wstring tip;
        for (int i = 0; i < 300 && tip.empty(); ++i) {
            Sleep(10);
            PumpMessages();
            HWND shown = nullptr;
            while ((shown = FindWindowExW(nullptr, shown, TOOLTIPS_CLASSW, nullptr)))
                if (IsWindowVisible(shown) &&
                    GetWindowThreadProcessId(shown, nullptr) == GetCurrentThreadId())
                    tip = WindowText(shown);
        }
        EXPECT_EQ(tip, row.tip);
        EXPECT_EQ(form_->StatusText(), row.status);
        wchar_t shown[128] = {};
        SendMessageW(Control(Id::StatusBar), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
        EXPECT_STREQ(shown, row.status);
        SetCursorPos(0, 0);
        for (int i = 0; i < 20; ++i) {
            Sleep(10);
            PumpMessages();
        }
    }
}

TEST_F(DataSFormTest, TheMenuShowsTheLongHintOfTheHighlightedItem) {
    Make();
    HMENU file = form_->MenuOf(Id::FileMenu);
    SendMessageW(Window(), WM_MENUSELECT, MAKEWPARAM(Id::FileSaveItem, MF_HILITE),
                 reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(form_->StatusText(), L"Die Zusammenstellung unter einem anderen Namen speichern");
    SendMessageW(Window(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE),
                 reinterpret_cast<LPARAM>(GetMenu(Window())));
    EXPECT_EQ(form_->StatusText(), L"Dateibefehle");
    SendMessageW(Window(), WM_MENUSELECT, MAKEWPARAM(Id::N1, MF_SEPARATOR),
                 reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(form_->StatusText(), L"");
}

// Enter and Esc: the focused push button, else "Sichern" and "Ende"; never
// with a modifier, on a disabled button or in the exclusion box.
TEST_F(DataSFormTest, EnterAndEscKeepTheirRules) {
    Make();
    SetFolders({std::wstring(1, SourceDrive()) + L":\\Nicht da"});
    SetTarget(TargetDrive() - L'A');

    SetFocus(Control(Id::OrdnerListBox));
    Type({VK_RETURN});
    EXPECT_FALSE(FileExists(LogFile())) << "Sichern is disabled";

    form_->CheckTimerTimer();
    ASSERT_TRUE(IsWindowEnabled(Control(Id::SichernBitBtn)));
    SetFocus(Control(Id::AusschlussMemo));
    Type({VK_RETURN});
    Type({VK_ESCAPE});
    EXPECT_FALSE(FileExists(LogFile()));
    EXPECT_NE(Window(), nullptr);
    EXPECT_EQ(WindowText(Control(Id::AusschlussMemo)), L"\r\n") << "Enter is the memo's own";

    SetFocus(Control(Id::OrdnerListBox));
    Type({VK_SHIFT, VK_RETURN});
    EXPECT_FALSE(FileExists(LogFile())) << "not with Shift held";
    Type({VK_RETURN});
    EXPECT_TRUE(FileExists(LogFile())) << "Enter pressed Sichern";

    SetFocus(Control(Id::DateiListBox));
    Type({VK_ESCAPE});
    EXPECT_EQ(Window(), nullptr) << "Esc pressed Ende";
    EXPECT_TRUE(FileExists(SetFile()));
}

TEST_F(DataSFormTest, ArrowsMoveTheCheckInTheRadioGroupAndTabStopsOnceInIt) {
    Make();
    SetFocus(Control(Id::DateiListBox));
    Type({VK_TAB});
    EXPECT_EQ(GetFocus(), Control(ui::RadioItemId(Id::SaveRadioGroup, 4)))
        << "the checked item, E:";
    Type({VK_DOWN});
    EXPECT_EQ(GetFocus(), Control(ui::RadioItemId(Id::SaveRadioGroup, 5)));
    Type({VK_RIGHT});
    EXPECT_EQ(GetFocus(), Control(ui::RadioItemId(Id::SaveRadioGroup, 6)));
    EXPECT_EQ(SendMessageW(Control(ui::RadioItemId(Id::SaveRadioGroup, 6)), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageW(Control(ui::RadioItemId(Id::SaveRadioGroup, 4)), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    Type({VK_TAB});
    EXPECT_EQ(GetFocus(), Control(Id::AusschlussMemo));
    Type({VK_SHIFT, VK_TAB});
    EXPECT_EQ(GetFocus(), Control(ui::RadioItemId(Id::SaveRadioGroup, 6)));
}

TEST_F(DataSFormTest, ALetterPressesAPushButtonOnlyWhereNoTextIsTyped) {
    Make();
    SetFocus(Control(Id::OrdnerListBox));
    Type({'E'});
    EXPECT_NE(Window(), nullptr) << "a letter is input in a list";
    SetFocus(Control(Id::SynchronCheckBox));
    Type({'E'});
    EXPECT_EQ(Window(), nullptr) << "the letter of Ende, on the check box";
}

TEST_F(DataSFormTest, AltWithALetterPressesTheButtonOfThatLetter) {
    Make();
    SetFocus(Control(Id::AusschlussMemo));
    Type({VK_MENU, 'E'});
    EXPECT_EQ(Window(), nullptr);
    EXPECT_TRUE(FileExists(SetFile()));
}

// The set file: loaded into the controls at creation, saved from them on closing.
TEST_F(DataSFormTest, LoadsTheSetIntoTheControlsAndSavesItFromThemOnClose) {
    WriteTextFile(SetFile(), kExampleSetFile);
    Make();
    EXPECT_TRUE(form_->FormCreateCompleted());
    EXPECT_THAT(Items(Control(Id::OrdnerListBox)), ElementsAre(L"C:\\Daten", L"C:\\Projekte"));
    EXPECT_EQ(WindowText(Control(Id::AusschlussMemo)), L"bak\r\ntmp");
    EXPECT_EQ(SendMessageW(Control(ui::RadioItemId(Id::SaveRadioGroup, 5)), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageW(Control(Id::SynchronCheckBox), BM_GETCHECK, 0, 0), BST_CHECKED);

    // What the user changes is what is saved.
    SetTarget(7);
    SendMessageW(Control(Id::SynchronCheckBox), BM_SETCHECK, BST_UNCHECKED, 0);
    SetWindowTextW(Control(Id::AusschlussMemo), L"tmp\r\n\r\nlog");
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Window(), nullptr) << "the window should have closed";
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(form_->Flags().cancelled);
    // An empty exclusion line writes no line.
    EXPECT_EQ(ReadWholeFile(SetFile()),
              "Laufwerk=7\r\nSynchron=FALSE\r\nOrdner=C:\\Daten\r\nOrdner=C:\\Projekte\r\n"
              "Ausschluss=tmp\r\nAusschluss=log\r\n");
    EXPECT_TRUE(boxes_.texts.empty());
}

TEST_F(DataSFormTest, NewSetShowsTheDefaultsAndClearsTheFileList) {
    WriteTextFile(SetFile(), kExampleSetFile);
    Make();
    form_->Click(Id::FileNeuItem);
    EXPECT_TRUE(Items(Control(Id::OrdnerListBox)).empty());
    EXPECT_EQ(WindowText(Control(Id::AusschlussMemo)), L"~\r\nbak\r\ncom\r\ndll\r\nexe");
    EXPECT_EQ(SendMessageW(Control(ui::RadioItemId(Id::SaveRadioGroup, 4)), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageW(Control(Id::SynchronCheckBox), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(DataSFormTest, AnswersTheEndOfTheSessionAfterSaving) {
    Make();
    EXPECT_EQ(SendMessageW(Window(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(form_->Flags().cancelled);
    EXPECT_EQ(ReadWholeFile(SetFile()), "Laufwerk=4\r\nSynchron=FALSE\r\n");
}

TEST_F(DataSFormTest, ShowsErrorsAndStaysOpenWhenTheSaveFails) {
    startUp_.commandLine = u"Kelvorin.exe " + U16(Source()) + u"\\" + std::u16string(260, u'x');
    Make();
    EXPECT_EQ(boxes_.texts, std::vector<std::wstring>{L"Ungültiger Dateiname."});
    EXPECT_FALSE(form_->FormCreateCompleted());

    SendMessageW(Window(), WM_CLOSE, 0, 0);
    ASSERT_NE(Window(), nullptr) << "the close should have been refused";
    EXPECT_TRUE(form_->Flags().cancelled);
    EXPECT_EQ(boxes_.texts.size(), 2u);
    EXPECT_EQ(SendMessageW(Window(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(boxes_.texts.size(), 3u);
}

} // namespace
} // namespace kelvorin::testing
