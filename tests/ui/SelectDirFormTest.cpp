#include "ui/SelectDirForm.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/ui/FormDriver.h"
#include "ui/DataSForm.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using Id = ui::TSelectDirForm::ControlId;

std::vector<std::wstring> ItemsOf(HWND list, UINT count, UINT length, UINT get) {
    std::vector<std::wstring> items;
    const auto n = SendMessageW(list, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, length, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, get, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

std::wstring WorkingFolder() {
    wchar_t folder[2048] = {};
    const DWORD length = GetCurrentDirectoryW(2048, folder);
    return std::wstring(folder, length < 2048 ? length : 0);
}

// The chooser of this thread while it is open, driven as the user would.
class Chooser {
public:
    Chooser() {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (std::wstring(name) == L"TSelectDirForm" && IsWindowVisible(window))
                    *reinterpret_cast<HWND*>(found) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&window_));
    }

    HWND Handle() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::wstring PathLine() const { return WindowText(Control(Id::DirEdit)); }
    std::vector<std::wstring> Tree() const {
        return ItemsOf(Control(Id::DirList), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    }
    std::vector<std::wstring> Files() const {
        return ItemsOf(Control(Id::FileList), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    }
    std::vector<std::wstring> Drives() const {
        return ItemsOf(Control(Id::DriveList), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    }
    std::wstring Drive() const {
        const auto index = SendMessageW(Control(Id::DriveList), CB_GETCURSEL, 0, 0);
        return index < 0 ? L"" : Drives().at(static_cast<std::size_t>(index));
    }
    int Highlighted() const {
        return static_cast<int>(SendMessageW(Control(Id::DirList), LB_GETCURSEL, 0, 0));
    }
    int IndexOf(const std::wstring& item) const {
        const auto items = Tree();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == item) return static_cast<int>(i);
        ADD_FAILURE() << "no tree item " << item;
        return -1;
    }

    // A double click on the tree item, as the mouse sends it.
    void DoubleClick(const std::wstring& item) const {
        HWND tree = Control(Id::DirList);
        RECT rect{};
        SendMessageW(tree, LB_GETITEMRECT, static_cast<WPARAM>(IndexOf(item)),
                     reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM(rect.left + 30, (rect.top + rect.bottom) / 2);
        PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(tree, WM_LBUTTONUP, 0, at);
        PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(tree, WM_LBUTTONUP, 0, at);
        PumpMessages();
    }
    // The arrow keys onto the item, then Enter.
    void EnterOn(const std::wstring& item) const {
        HWND tree = Control(Id::DirList);
        SetFocus(tree);
        const int target = IndexOf(item);
        while (Highlighted() != target)
            PressKey(tree, Highlighted() < target ? VK_DOWN : VK_UP);
        PressKey(tree, VK_RETURN);
    }
    // The drive's letter typed into the drive selector.
    void ChooseDrive(wchar_t letter) const {
        HWND drives = Control(Id::DriveList);
        SetFocus(drives);
        PostMessageW(drives, WM_CHAR, letter, 1);
        PumpMessages();
    }

private:
    HWND window_ = nullptr;
};

class SelectDir : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        PumpMessages();
        before_ = WorkingFolder();
        ui::SetApplicationHelpHook([this](WORD, LONG_PTR data, bool&) {
            helpRequests_.push_back(data);
            return true;
        });
    }
    void TearDown() override {
        ui::SetApplicationHelpHook(nullptr);
        // The scratch folders cannot go while the process works in them.
        SetCurrentDirectoryW(before_.c_str());
        for (const wchar_t* drive : {L"=S:", L"=T:"})
            SetEnvironmentVariableW(drive, nullptr);
        DriveTest::TearDown();
    }

    // Runs the chooser on the folder; `during` runs once it is shown, and must close it.
    bool Choose(std::wstring& folder, const std::function<void(const Chooser&)>& during,
                std::int32_t helpContext = 1000) {
        ModalWatchdog watchdog;
        bool ran = false;
        DuringModal action([&] {
            ran = true;
            during(Chooser());
        });
        const bool chosen = ui::SelectFolder(GetModuleHandleW(nullptr), *system_, owner_.Handle(),
                                             folder, helpContext);
        EXPECT_TRUE(ran) << "the chooser did not show";
        return chosen;
    }

    static void Esc(const Chooser& chooser) { PostKey(chooser.Control(Id::DirList), VK_ESCAPE); }

    OtherWindow owner_;
    ui::Win32FolderSystem win32_;
    ui::FolderSystem* system_ = &win32_;
    std::wstring before_;
    std::vector<LONG_PTR> helpRequests_;
};

// The window itself as its table says: FormFrames (FormWindowTest.cpp).
TEST_F(SelectDir, IsLaidOutAsItsTable) {
    std::wstring folder = Source();
    Choose(folder, [&](const Chooser& chooser) {
        HWND window = chooser.Handle();
        ASSERT_TRUE(window);
        EXPECT_FALSE(IsWindowEnabled(owner_.Handle())) << "modal";
        EXPECT_EQ(GetFocus(), chooser.Control(Id::DirList));

        const struct {
            int id;
            RECT rect;
            const wchar_t* text;
            bool visible;
        } elements[] = {
            {Id::DirEdit, Rect(8, 24, 313, 20), nullptr, true},
            {Id::DirList, Rect(8, 72, 213, 138), nullptr, true},
            {Id::FileList, Rect(232, 72, 185, 93), nullptr, true},
            {Id::NetButton, Rect(8, 224, 77, 27), L"Ne&tzwerk...", false},
            {Id::OKButton, Rect(172, 224, 77, 27), L"OK", true},
            {Id::CancelButton, Rect(256, 224, 77, 27), L"Abbrechen", true},
            {Id::HelpButton, Rect(340, 224, 77, 27), L"&Hilfe", true},
        };
        for (const auto& element : elements) {
            SCOPED_TRACE(element.id);
            EXPECT_EQ(ClientRectOf(chooser.Control(element.id)), element.rect);
            if (element.text) {
                EXPECT_EQ(WindowText(chooser.Control(element.id)), element.text);
            }
            EXPECT_EQ(IsWindowVisible(chooser.Control(element.id)) != FALSE, element.visible);
        }
        // The selector's field; its drop-down list hangs below.
        RECT drives{};
        SendMessageW(chooser.Control(Id::DriveList), CB_GETDROPPEDCONTROLRECT, 0,
                     reinterpret_cast<LPARAM>(&drives));
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&drives), 2);
        EXPECT_EQ(drives.left, 232);
        EXPECT_EQ(drives.top, 192);
        EXPECT_EQ(drives.right - drives.left, 185);
        EXPECT_EQ(ClientRectOf(chooser.Control(Id::DriveList)).bottom, 192 + 19);
        EXPECT_EQ(SendMessageW(chooser.Control(Id::DirList), LB_GETITEMHEIGHT, 0, 0), 17);
        EXPECT_EQ(SendMessageW(chooser.Control(Id::FileList), LB_GETITEMHEIGHT, 0, 0), 13);
        EXPECT_TRUE(GetWindowLongPtrW(chooser.Control(Id::DirEdit), GWL_STYLE) & ES_READONLY);

        const struct {
            int id;
            int left, top;
            const wchar_t* text;
        } labels[] = {
            {Id::DirLabel, 8, 8, L"Verzeichnis&name:"},
            {Id::DirListLabel, 8, 56, L"&Verzeichnisse:"},
            {Id::FileListLabel, 232, 56, L"&Dateien: (*.*)"},
            {Id::DriveListLabel, 232, 176, L"&Laufwerke:"},
        };
        for (const auto& label : labels) {
            SCOPED_TRACE(label.id);
            const RECT rect = ClientRectOf(chooser.Control(label.id));
            EXPECT_EQ(rect.left, label.left);
            EXPECT_EQ(rect.top, label.top);
            EXPECT_LE(rect.bottom, label.top + 16) << "clear of the control below";
            EXPECT_EQ(WindowText(chooser.Control(label.id)), label.text);
        }
        Esc(chooser);
    });
    EXPECT_TRUE(IsWindowEnabled(owner_.Handle()));
}

TEST_F(SelectDir, TheLabelLettersFocusTheirControls) {
    std::wstring folder = Source();
    Choose(folder, [&](const Chooser& chooser) {
        const struct {
            wchar_t letter;
            int focus;
        } rows[] = {
            {L'n', Id::DirEdit}, {L'd', Id::FileList}, {L'l', Id::DriveList}, {L'v', Id::DirList}};
        for (const auto& row : rows) {
            SCOPED_TRACE(static_cast<char>(row.letter));
            PostMessageW(GetFocus(), WM_SYSCHAR, row.letter, 1 << 29);
            PumpMessages();
            EXPECT_EQ(GetFocus(), chooser.Control(row.focus));
        }
        Esc(chooser);
    });
}

TEST_F(SelectDir, OpensAtTheStartFolderWithTheFoldersAboveItItsSubfoldersAndFiles) {
    // The program's one order folds case as the file system does, Greek
    // letters too: "ωa" before "Ωb", as the main window's folder list has it.
    for (const wchar_t* name :
         {L"beta", L"_unter", L"ωa", L"Gamma", L".punkt", L"Alpha", L"Änderung", L"Ωb"})
        MakeCleanFolder(Source(name));
    SetFileAttributesW(Source(L"Gamma").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW(Source(L"Gamma").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* name : {L"b.txt", L"A.txt", L".versteckt"})
        WriteTextFile(Source(name), "x");

    std::wstring folder = Source() + L"\\"; // as the add command keeps it
    Choose(folder, [&](const Chooser& chooser) {
        EXPECT_EQ(chooser.PathLine(), Source());
        EXPECT_EQ(chooser.Tree(),
                  (std::vector<std::wstring>{std::wstring(1, SourceDrive()) + L":\\", FolderName(),
                                             L".punkt", L"Alpha", L"beta", L"Gamma", L"_unter",
                                             L"Änderung", L"ωa", L"Ωb"}));
        EXPECT_EQ(chooser.Highlighted(), 1) << "the open folder";
        EXPECT_EQ(chooser.Files(), (std::vector<std::wstring>{L".versteckt", L"A.txt", L"b.txt"}));
        EXPECT_EQ(WorkingFolder(), Source());

        EXPECT_EQ(chooser.Drive(), std::wstring(1, SourceDrive()) + L":");
        std::wstring letters;
        for (const std::wstring& drive : chooser.Drives())
            letters += drive.substr(0, 2) + L" ";
        for (wchar_t drive : {SourceDrive(), TargetDrive(), SmallDrive(), DocsDrive()})
            EXPECT_NE(letters.find(std::wstring(1, drive) + L":"), std::wstring::npos) << letters;

        // The files are in grey, only for orientation.
        EXPECT_GT(CountPixels(chooser.Control(Id::FileList), GetSysColor(COLOR_GRAYTEXT)), 20);
        EXPECT_EQ(CountPixels(chooser.Control(Id::FileList), GetSysColor(COLOR_WINDOWTEXT)), 0);
        Esc(chooser);
    });
}

TEST_F(SelectDir, AStartFolderThatIsNotThereOpensAtTheWorkingFolder) {
    MakeCleanFolder(Source(L"Arbeit"));
    WriteTextFile(Source(L"Datei.txt"), "x");
    const struct {
        const char* what;
        std::wstring start;
    } rows[] = {
        {"missing", Source(L"Weg\\Tiefer")},
        {"a file", Source(L"Datei.txt")},
        {"empty", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SetCurrentDirectoryW(Source(L"Arbeit").c_str()));
        std::wstring folder = row.start;
        EXPECT_FALSE(Choose(folder, [&](const Chooser& chooser) {
            EXPECT_EQ(chooser.PathLine(), Source(L"Arbeit"));
            Esc(chooser);
        }));
        EXPECT_EQ(folder, row.start);
    }
}

TEST_F(SelectDir, ADoubleClickOrEnterOpensTheFolderAndMakesItTheWorkingFolder) {
    MakeCleanFolder(Source(L"Alpha\\Innen"));
    WriteTextFile(Source(L"Alpha\\in-alpha.txt"), "x");
    const std::wstring root = std::wstring(1, SourceDrive()) + L":\\";
    std::wstring folder = Source();
    Choose(folder, [&](const Chooser& chooser) {
        chooser.DoubleClick(L"Alpha");
        EXPECT_EQ(chooser.PathLine(), Source(L"Alpha"));
        EXPECT_EQ(chooser.Tree(),
                  (std::vector<std::wstring>{root, FolderName(), L"Alpha", L"Innen"}));
        EXPECT_EQ(chooser.Highlighted(), 2);
        EXPECT_EQ(chooser.Files(), std::vector<std::wstring>{L"in-alpha.txt"});
        EXPECT_EQ(WorkingFolder(), Source(L"Alpha"));

        chooser.EnterOn(root);
        EXPECT_EQ(chooser.PathLine(), root);
        EXPECT_EQ(chooser.Tree().at(0), root);
        EXPECT_EQ(chooser.Highlighted(), 0);
        EXPECT_EQ(WorkingFolder(), root);
        EXPECT_TRUE(IsWindowVisible(chooser.Handle())) << "Enter on the tree is not OK";
        Esc(chooser);
    });
}

TEST_F(SelectDir, OkReturnsTheOpenFolderAsThePathLineShowsIt) {
    MakeCleanFolder(Source(L"Alpha\\Innen"));
    const std::wstring root = std::wstring(1, SourceDrive()) + L":\\";
    const struct {
        const char* what;
        std::function<void(const Chooser&)> open;
        std::wstring chosen;
    } rows[] = {
        {"drive root", [&](const Chooser& c) { c.EnterOn(root); }, root},
        {"deeper folder",
         [&](const Chooser& c) {
             c.DoubleClick(L"Alpha");
             c.DoubleClick(L"Innen");
         },
         Source(L"Alpha\\Innen")},
        {"an entry only highlighted",
         [&](const Chooser& c) { SendMessageW(c.Control(Id::DirList), LB_SETCURSEL, 2, 0); },
         Source()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::wstring folder = Source() + L"\\";
        EXPECT_TRUE(Choose(folder, [&](const Chooser& chooser) {
            row.open(chooser);
            Click(chooser.Control(Id::OKButton));
        }));
        EXPECT_EQ(folder, row.chosen);
        EXPECT_EQ(WorkingFolder(), row.chosen);
    }
    // Enter where it is not the tree's presses "OK".
    std::wstring folder = Source(L"Alpha");
    EXPECT_TRUE(Choose(folder, [&](const Chooser& chooser) {
        PressKey(chooser.Control(Id::FileList), VK_RETURN);
    }));
    EXPECT_EQ(folder, Source(L"Alpha"));
    // A drive letter given in lower case comes back in capitals, as Windows writes it.
    folder = Source(L"Alpha");
    folder[0] = static_cast<wchar_t>(towlower(folder[0]));
    EXPECT_TRUE(
        Choose(folder, [&](const Chooser& chooser) { Click(chooser.Control(Id::OKButton)); }));
    EXPECT_EQ(folder, Source(L"Alpha"));
}

TEST_F(SelectDir, EscAbbrechenAndTheCloseBoxLeaveTheFolderUnchanged) {
    MakeCleanFolder(Source(L"Alpha"));
    const struct {
        const char* way;
        std::function<void(const Chooser&)> close;
    } ways[] = {
        {"Esc", [&](const Chooser& c) { PostKey(c.Control(Id::DirList), VK_ESCAPE); }},
        {"Abbrechen", [&](const Chooser& c) { PostClick(c.Control(Id::CancelButton)); }},
        {"close box",
         [&](const Chooser& c) { PostMessageW(c.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        ASSERT_TRUE(SetCurrentDirectoryW(Target().c_str()));
        std::wstring folder = Source() + L"\\";
        EXPECT_FALSE(Choose(folder, [&](const Chooser& chooser) {
            chooser.DoubleClick(L"Alpha");
            way.close(chooser);
        }));
        EXPECT_EQ(folder, Source() + L"\\");
        EXPECT_EQ(WorkingFolder(), Source(L"Alpha")) << "the folder last open, not restored";
    }
}

TEST_F(SelectDir, ChoosingADriveOpensThatDrivesCurrentFolder) {
    MakeCleanFolder(Target(L"Tiefer"));
    const std::wstring targetRoot = std::wstring(1, TargetDrive()) + L":\\";
    // The target drive's current folder comes from an earlier visit.
    std::wstring folder = Target(L"Tiefer");
    Choose(folder, [&](const Chooser& chooser) { Esc(chooser); });

    folder = Source();
    Choose(folder, [&](const Chooser& chooser) {
        chooser.ChooseDrive(TargetDrive());
        EXPECT_EQ(chooser.PathLine(), Target(L"Tiefer"));
        EXPECT_EQ(chooser.Drive(), std::wstring(1, TargetDrive()) + L":");
        EXPECT_EQ(WorkingFolder(), Target(L"Tiefer"));

        chooser.ChooseDrive(SourceDrive());
        EXPECT_EQ(chooser.PathLine(), Source()) << "the source drive kept its folder";

        // A current folder that has gone since leaves the drive's root.
        RemoveTree(Target(L"Tiefer"));
        chooser.ChooseDrive(TargetDrive());
        EXPECT_EQ(chooser.PathLine(), targetRoot);
        Esc(chooser);
    });
    EXPECT_EQ(WorkingFolder(), targetRoot);
}

// The real file system, with what cannot be made here: a drive that is not
// ready (an empty card reader) and a folder that refuses to be listed (the
// tests run as root, who may list everything).
class StandInSystem : public ui::Win32FolderSystem {
public:
    std::wstring deniedFolder;
    std::vector<ui::DriveEntry> Drives() override {
        auto drives = Win32FolderSystem::Drives();
        drives.insert(drives.begin(), {L'R', ui::DriveKind::Removable, L"Karte"});
        return drives;
    }
    std::uint32_t List(const std::wstring& folder, ui::FolderListing& listing) override {
        if (folder.starts_with(L"R:")) return ERROR_NOT_READY;
        if (folder == deniedFolder) return ERROR_ACCESS_DENIED;
        return Win32FolderSystem::List(folder, listing);
    }
};

TEST_F(SelectDir, WhatCannotBeOpenedIsReportedAndTheChooserStaysWhereItWas) {
    StandInSystem standIn;
    standIn.deniedFolder = Source(L"Gesperrt");
    system_ = &standIn;
    for (const wchar_t* name : {L"Alpha", L"Gesperrt", L"Weg"})
        MakeCleanFolder(Source(name));
    const struct {
        const char* what;
        std::function<void(const Chooser&)> open;
        std::wstring message;
    } rows[] = {
        {"a drive that is not ready",
         [](const Chooser& c) {
             EXPECT_EQ(c.Drives().at(0), L"R: [Karte]");
             c.ChooseDrive(L'R');
         },
         L"Das Laufwerk R: ist nicht bereit."},
        {"access denied", [](const Chooser& c) { c.DoubleClick(L"Gesperrt"); },
         L"Zugriff auf den Ordner \"" + Source(L"Gesperrt") + L"\" verweigert."},
        {"a folder gone since it was listed",
         [&](const Chooser& c) {
             RemoveTree(Source(L"Weg"));
             c.DoubleClick(L"Weg");
         },
         L"Der Ordner \"" + Source(L"Weg") + L"\" kann nicht geöffnet werden."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MessageBoxAnswerer answerer;
        std::wstring folder = Source();
        EXPECT_TRUE(Choose(folder, [&](const Chooser& chooser) {
            const auto tree = chooser.Tree();
            row.open(chooser);
            EXPECT_EQ(chooser.PathLine(), Source());
            EXPECT_EQ(chooser.Tree(), tree);
            EXPECT_EQ(chooser.Highlighted(), 1) << "the open folder";
            EXPECT_EQ(chooser.Drive(), std::wstring(1, SourceDrive()) + L":");
            EXPECT_EQ(WorkingFolder(), Source());
            Click(chooser.Control(Id::OKButton));
        }));
        EXPECT_EQ(answerer.texts, std::vector<std::wstring>{row.message});
        EXPECT_EQ(folder, Source());
    }
}

TEST_F(SelectDir, PathsLongerThan259CharactersAreListedAndOpened) {
    RemoveTree(L"\\\\?\\" + Source()); // left by a failed run: too deep for a plain path
    MakeCleanFolder(Source());
    std::wstring deep = Source();
    for (int i = 0; deep.size() <= 300; ++i) {
        deep += L"\\Ein_recht_langer_Ordnername_" + std::to_wstring(i);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep + L"\\Ende").c_str(), nullptr));
    ASSERT_TRUE(UniqueFile(CreateFileW((L"\\\\?\\" + deep + L"\\Datei.txt").c_str(), GENERIC_WRITE,
                                       0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));

    std::wstring folder = deep;
    EXPECT_TRUE(Choose(folder, [&](const Chooser& chooser) {
        EXPECT_EQ(chooser.PathLine(), deep);
        // The line shows the path's end, the deepest folder.
        HWND line = chooser.Control(Id::DirEdit);
        RECT inside{};
        GetClientRect(line, &inside);
        const auto last = SendMessageW(line, EM_POSFROMCHAR, deep.size() - 1, 0);
        EXPECT_GT(static_cast<short>(LOWORD(last)), 0);
        EXPECT_LT(static_cast<short>(LOWORD(last)), inside.right);
        EXPECT_EQ(chooser.Tree().back(), L"Ende");
        EXPECT_EQ(chooser.Files(), std::vector<std::wstring>{L"Datei.txt"});
        chooser.DoubleClick(L"Ende");
        EXPECT_EQ(chooser.PathLine(), deep + L"\\Ende");
        Click(chooser.Control(Id::OKButton));
    }));
    EXPECT_EQ(folder, deep + L"\\Ende");
    RemoveTree(L"\\\\?\\" + Source());
}

TEST_F(SelectDir, HilfeAndF1AskForTheCallersContext) {
    std::wstring folder = Source();
    Choose(folder, [&](const Chooser& chooser) {
        Click(chooser.Control(Id::HelpButton));
        PressF1(chooser.Handle()); // on the tree
        SetFocus(chooser.Control(Id::OKButton));
        PressF1(chooser.Handle());
        EXPECT_TRUE(IsWindowVisible(chooser.Handle()));
        Esc(chooser);
    });
    EXPECT_EQ(helpRequests_, (std::vector<LONG_PTR>{1000, 1000, 1000}));

    helpRequests_.clear();
    Choose(
        folder,
        [&](const Chooser& chooser) {
            EXPECT_FALSE(IsWindowVisible(chooser.Control(Id::HelpButton)));
            PressF1(chooser.Handle());
            Esc(chooser);
        },
        0);
    EXPECT_TRUE(helpRequests_.empty());
}

// Made anew for each use, the chooser takes its monitor's density when it is
// made; a change while it is open scales it as the system asks.
TEST_F(SelectDir, ADensityChangeScalesTheChooserItsListsAndTheirItems) {
    ui::TSelectDirForm form(GetModuleHandleW(nullptr), win32_, Source(), 1000);
    ASSERT_TRUE(form.Create(owner_.Handle()));
    ASSERT_EQ(form.Dpi(), 96u);
    RECT suggested{0, 0, 700, 450};
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client, Rect(0, 0, 636, 383));
    EXPECT_EQ(ClientRectOf(form.ControlWindow(Id::DirList)), Rect(12, 108, 320, 207));
    EXPECT_EQ(ClientRectOf(form.ControlWindow(Id::HelpButton)), Rect(510, 336, 116, 41));
    EXPECT_EQ(SendMessageW(form.ControlWindow(Id::DirList), LB_GETITEMHEIGHT, 0, 0), 26);
    EXPECT_EQ(SendMessageW(form.ControlWindow(Id::FileList), LB_GETITEMHEIGHT, 0, 0), 20);
}

} // namespace
} // namespace kelvorin::testing
