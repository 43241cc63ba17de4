// Kelvorin.exe started as a process under Xvfb and used only through the
// keyboard from outside, as a person at the desk uses it; the copies, the log
// file and the set file on the scratch drives are checked afterwards.
#include "tests/support/Fixtures.h"
#include "tests/support/win32/ProgramDriver.h"
#include "tests/support/win32/ScratchDrives.h"
#include "ui/DataSForm.h"

#include <gmock/gmock.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using Id = ui::TDataSForm::ControlId;

// The date line of the log in the test prefix's formats (dd.MM.yyyy HH:mm:ss).
bool IsDateLine(const std::wstring& line) {
    static const std::wregex date(LR"(\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?)");
    return std::regex_match(line, date);
}

class WindowProgram : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        DeleteFileW(LogFile().c_str());
    }
    void TearDown() override {
        program_.reset();
        if (!HasFailure()) DeleteFileW(SetFile().c_str());
        DriveTest::TearDown();
    }

    std::wstring DocsFolder() const { return std::wstring(1, DocsDrive()) + L":\\Dokumente"; }
    std::wstring LogFile() const { return DocsFolder() + L"\\Kelvorin.log"; }
    std::wstring SetName() const { return FolderName(); }
    std::wstring SetFile() const { return DocsFolder() + L"\\" + SetName() + L".ini"; }
    std::string TargetIndex() const { return std::to_string(TargetDrive() - L'A'); }

    // Starts the program with the set's name and waits for its main window.
    HWND Start() {
        program_ = std::make_unique<remote::Program>(WinePathOfHostFile(KELVORIN_EXE), SetName());
        return remote::WaitForWindowOf(program_->Id(), L"TDataSForm");
    }

    // Enter reaches "&Sichern" once the readiness check has enabled it.
    void PressSichernWhenReady(HWND window) {
        HWND sichern = remote::FindControl(window, Id::SichernBitBtn);
        ASSERT_NE(sichern, nullptr);
        ASSERT_EQ(remote::TextOf(sichern), L"&Sichern");
        ASSERT_TRUE(remote::WaitUntil([&] { return IsWindowEnabled(sichern) != FALSE; }, 5000))
            << "the readiness check never enabled \"&Sichern\"";
        ASSERT_TRUE(remote::PressKeys(window, {VK_RETURN}));
    }

    std::vector<std::wstring> LogLines() const {
        const auto bytes = remote::ReadFileNow(LogFile());
        return bytes ? TextLines(DecodeText(*bytes, CP_ACP)) : std::vector<std::wstring>{};
    }

    std::unique_ptr<remote::Program> program_;
};

TEST_F(WindowProgram, BacksUpOnEnterShowsTheSortedLogAndWritesTheSetOnEsc) {
    struct File {
        const wchar_t* path;
        std::string bytes;
        int year, month, day, hour, minute, second;
    };
    const File files[] = {
        {L"Brief.txt", "Lieber Hans", 2023, 12, 24, 18, 30, 12},
        {L"Gr\u00FC\u00DFe.txt", "Gr\xFC\xDF aus Wien", 2022, 2, 28, 7, 5, 33},
        {L"Fotos\\Liste.txt", "Bild 1\r\nBild 2\r\n", 2020, 10, 10, 10, 10, 10},
        {L"Fotos\\Urlaub\\Strand.jpg", std::string(70'000, '\x7F'), 2021, 7, 3, 9, 15, 1},
    };
    for (const File& f : files) {
        WriteTextFile(Source(f.path), f.bytes);
        SetLocalWriteTime(Source(f.path), f.year, f.month, f.day, f.hour, f.minute, f.second);
    }
    WriteTextFile(Source(L"alt.bak"), "excluded");
    // Not the program's own form: lower-case keys, bare LF, folders and
    // exclusions out of order, exclusions in capitals. Closing rewrites it.
    const std::string source = Narrow(Source());
    WriteTextFile(SetFile(), "laufwerk=" + TargetIndex() + "\nsynchron=FALSE\nOrdner=" + source +
                                 "\\Fehlt\nOrdner=" + source +
                                 "\nAusschluss=TMP\nAusschluss=BAK\n");

    HWND window = Start();
    ASSERT_NE(window, nullptr) << "no main window";
    PressSichernWhenReady(window);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(remote::WaitUntil([&] { return remote::RunLogWritten(LogFile()); }, 30000))
        << "no log file";

    // Copies keep the stamp as a DOS date and time holds it: to 2 s, rounded down.
    for (const File& f : files) {
        SCOPED_TRACE(Narrow(f.path));
        EXPECT_EQ(ReadWholeFile(Target(f.path)), f.bytes);
        const SYSTEMTIME copy = LocalWriteTime(Target(f.path));
        EXPECT_THAT((std::vector<int>{copy.wYear, copy.wMonth, copy.wDay, copy.wHour, copy.wMinute,
                                      copy.wSecond, copy.wMilliseconds}),
                    ElementsAre(f.year, f.month, f.day, f.hour, f.minute, f.second / 2 * 2, 0));
    }
    EXPECT_FALSE(FileExists(Target(L"alt.bak")));

    // Folders in list order: the set's folder, then the missing one.
    const std::vector<std::wstring> log = LogLines();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], L"Nicht gefunden: " + Source(L"Fehlt"));
    EXPECT_EQ(log[1], L"OK");
    EXPECT_TRUE(IsDateLine(log[2])) << Narrow(log[2]);

    // The file list shows the log sorted, read from outside as a screen reader
    // reads it; it is shown just after the log is written, so it may need a moment.
    HWND fileList = remote::FindControl(window, Id::DateiListBox);
    ASSERT_NE(fileList, nullptr);
    std::vector<std::wstring> shown;
    remote::WaitUntil(
        [&] {
            shown = remote::ListViewItems(fileList).value_or(std::vector<std::wstring>{});
            return shown.size() == log.size();
        },
        5000);
    EXPECT_THAT(shown, ElementsAre(log[2], log[0], log[1]));

    ASSERT_TRUE(remote::PressKeys(window, {VK_ESCAPE}));
    EXPECT_EQ(program_->WaitForExit(10000), std::optional<DWORD>(0));
    EXPECT_EQ(ReadWholeFile(SetFile()),
              "Laufwerk=" + TargetIndex() + "\r\nSynchron=FALSE\r\nOrdner=" + source +
                  "\r\nOrdner=" + source + "\\Fehlt\r\nAusschluss=bak\r\nAusschluss=tmp\r\n");
}

TEST_F(WindowProgram, EscInTheMiddleOfARunEndsItWithAbbruchAndSavesTheSet) {
    // Enough files that the run is still going when Esc arrives.
    constexpr int kFolders = 12, kFilesPerFolder = 50;
    for (int f = 0; f < kFolders; ++f)
        for (int i = 0; i < kFilesPerFolder; ++i)
            WriteTextFile(Source(L"Ordner" + std::to_wstring(100 + f) + L"\\Datei" +
                                 std::to_wstring(1000 + i) + L".txt"),
                          std::string(2000, 'k'));
    // A finished synchronisation would remove it.
    WriteTextFile(Target(L"weg.txt"), "alt");
    const std::string source = Narrow(Source());
    WriteTextFile(SetFile(), "Ordner=" + source + "\nSynchron=TRUE\nLaufwerk=" + TargetIndex() +
                                 "\nAusschluss=Bak\n");

    HWND window = Start();
    ASSERT_NE(window, nullptr) << "no main window";
    PressSichernWhenReady(window);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(
        remote::WaitUntil([&] { return FileExists(Target(L"Ordner100\\Datei1000.txt")); }, 30000))
        << "the run did not start";

    ASSERT_TRUE(remote::PressKeys(window, {VK_ESCAPE}));
    EXPECT_EQ(program_->WaitForExit(30000), std::optional<DWORD>(0));
    const std::vector<std::wstring> log = LogLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], L"Abbruch");
    EXPECT_TRUE(IsDateLine(log[1])) << Narrow(log[1]);
    // The last folder was never reached, nor the synchronisation.
    EXPECT_TRUE(FileExists(Target(L"weg.txt")));
    EXPECT_FALSE(FolderExists(Target(L"Ordner" + std::to_wstring(100 + kFolders - 1))));
    EXPECT_EQ(ReadWholeFile(SetFile()), "Laufwerk=" + TargetIndex() +
                                            "\r\nSynchron=TRUE\r\nOrdner=" + source +
                                            "\r\nAusschluss=bak\r\n");
}

} // namespace
} // namespace kelvorin::testing
