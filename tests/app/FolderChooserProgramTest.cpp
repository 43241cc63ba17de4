// The folder chooser of Kelvorin.exe, started as a process and used only
// through the keyboard from outside: Ctrl+Insert, a drive, a folder, "OK".
#include "tests/support/win32/ProgramDriver.h"
#include "tests/support/win32/ScratchDrives.h"
#include "ui/DataSForm.h"

#include <gmock/gmock.h>

#include <string>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;

// The suite's name begins with a Z, so that its folder is the last one of the
// source drive's root, which End reaches in the tree.
class ZielOrdnerWahl : public DriveTest {
protected:
    std::wstring DocsFolder() const { return std::wstring(1, DocsDrive()) + L":\\Dokumente"; }
    std::wstring SetFile() const { return DocsFolder() + L"\\" + FolderName() + L".ini"; }
};

TEST_F(ZielOrdnerWahl, CtrlInsertOpensTheChooserAndOkAddsTheFolderItShows) {
    MakeCleanFolder(Source(L"Fotos"));
    WriteTextFile(Source(L"Fotos\\Bild.jpg"), "Bild");
    const std::string target = std::to_string(TargetDrive() - L'A');
    WriteTextFile(SetFile(), "Laufwerk=" + target + "\r\nSynchron=FALSE\r\n");

    remote::Program program(WinePathOfHostFile(KELVORIN_EXE), FolderName());
    HWND window = remote::WaitForWindowOf(program.Id(), L"TDataSForm");
    ASSERT_NE(window, nullptr) << "no main window";

    ASSERT_TRUE(remote::PressKeys(window, {VK_CONTROL, VK_INSERT}));
    HWND chooser = remote::WaitForWindowOf(program.Id(), L"TSelectDirForm");
    ASSERT_NE(chooser, nullptr) << "no folder chooser";
    EXPECT_EQ(remote::TextOf(chooser), L"Verzeichnis auswählen");
    EXPECT_FALSE(IsWindowEnabled(window)) << "the main window waits for the chooser";

    // The drive selector (Alt+L), drive S; the tree (Alt+V): this test's
    // folder, then its only subfolder; the file list, where Enter is "OK".
    const wchar_t drive = SourceDrive();
    for (std::initializer_list<WORD> keys : {std::initializer_list<WORD>{VK_MENU, 'L'},
                                             {static_cast<WORD>(drive)},
                                             {VK_MENU, 'V'},
                                             {VK_END},
                                             {VK_RETURN},
                                             {VK_END},
                                             {VK_RETURN}}) {
        ASSERT_TRUE(remote::PressKeys(chooser, keys));
        Sleep(200);
    }
    HWND pathLine = remote::FindControl(chooser, 2);
    EXPECT_TRUE(
        remote::WaitUntil([&] { return remote::TextOf(pathLine) == Source(L"Fotos"); }, 5000))
        << "the path line shows the open folder";
    ASSERT_TRUE(remote::PressKeys(chooser, {VK_TAB}));
    ASSERT_TRUE(remote::PressKeys(chooser, {VK_RETURN}));
    ASSERT_TRUE(remote::WaitUntil([&] { return !IsWindow(chooser); }, 5000) ||
                !IsWindowVisible(chooser));

    HWND folders = remote::FindControl(window, ui::TDataSForm::OrdnerListBox);
    std::vector<std::wstring> shown;
    remote::WaitUntil(
        [&] {
            shown = remote::ListItems(folders).value_or(std::vector<std::wstring>{});
            return !shown.empty();
        },
        5000);
    EXPECT_THAT(shown, ElementsAre(Source(L"Fotos")));

    ASSERT_TRUE(remote::PressKeys(window, {VK_ESCAPE}));
    EXPECT_EQ(program.WaitForExit(10000), std::optional<DWORD>(0));
    const std::wstring folder = Source(L"Fotos");
    EXPECT_EQ(ReadWholeFile(SetFile()), "Laufwerk=" + target + "\r\nSynchron=FALSE\r\nOrdner=" +
                                            std::string(folder.begin(), folder.end()) + "\r\n");
    DeleteFileW(SetFile().c_str());
}

} // namespace
} // namespace kelvorin::testing
