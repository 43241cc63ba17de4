// KelvorinCmd.exe started as a process, on the scratch drives, with its stdout,
// stderr, exit code, log file and the disk checked afterwards.
#include "tests/support/Fixtures.h"
#include "tests/support/win32/ConsoleProgram.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/support/win32/SmallDriveLock.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class CmdProgram : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        DeleteFileW(LogFile().c_str());
    }

    std::wstring DocsFolder() const { return std::wstring(1, DocsDrive()) + L":\\Dokumente"; }
    std::wstring LogFile() const { return DocsFolder() + L"\\Kelvorin.log"; }
    std::wstring SetName() const { return FolderName(); }
    std::wstring SetFile() const { return DocsFolder() + L"\\" + SetName() + L".ini"; }

    // A set file in the documents folder with the given folder entries.
    void WriteSet(const std::vector<std::wstring>& folders, int drive, bool synchron,
                  const std::vector<std::string>& exclusions = {}) {
        std::string text = "Laufwerk=" + std::to_string(drive) +
                           "\r\nSynchron=" + (synchron ? "TRUE" : "FALSE") + "\r\n";
        for (const auto& f : folders)
            text += "Ordner=" + std::string(f.begin(), f.end()) + "\r\n";
        for (const auto& e : exclusions)
            text += "Ausschluss=" + e + "\r\n";
        WriteTextFile(SetFile(), text);
    }
    int TargetIndex() const { return TargetDrive() - L'A'; }

    ConsoleResult Run(const std::wstring& arguments) {
        // Fresh names each time: the finished child may still hold its handles
        // for a moment under Wine.
        const std::wstring base = Target(L"..\\" + FolderName() + std::to_wstring(++runs_));
        return RunConsoleProgram(L"\"" + WinePathOfHostFile(KELVORIN_CMD_EXE) + L"\" " + arguments,
                                 base);
    }

    int runs_ = 0;

    std::vector<std::wstring> LogLines() const {
        return TextLines(DecodeText(ReadWholeFile(LogFile()), CP_ACP));
    }
};

TEST_F(CmdProgram, BacksUpSkipsWhatIsCurrentAndSynchronises) {
    WriteTextFileWithTime(Source(L"Brief.txt"), "Brief", 2024, 5, 6, 7, 8, 10);
    WriteTextFile(Source(L"Fotos\\Bild.jpg"), "Bild");
    WriteTextFile(Source(L"alt.bak"), "excluded");
    WriteSet({Source()}, TargetIndex(), true, {"bak"});

    ConsoleResult first = Run(SetName());
    EXPECT_EQ(first.exitCode, 0u) << first.err;
    EXPECT_EQ(ReadWholeFile(Target(L"Brief.txt")), "Brief");
    EXPECT_EQ(ReadWholeFile(Target(L"Fotos\\Bild.jpg")), "Bild");
    EXPECT_FALSE(FileExists(Target(L"alt.bak")));
    EXPECT_EQ(LocalWriteTime(Target(L"Brief.txt")).wSecond, 10);
    // stdout holds the log file's lines: status, then date and time.
    ASSERT_EQ(first.out.size(), 2u);
    EXPECT_EQ(first.out[0], L"OK");
    EXPECT_EQ(first.out, LogLines());

    // Nothing changed: a copy marked by a later time is left alone.
    SetLocalWriteTime(Target(L"Brief.txt"), 2024, 5, 6, 7, 8, 30);
    ConsoleResult second = Run(SetName());
    EXPECT_EQ(second.exitCode, 0u) << second.err;
    EXPECT_EQ(LocalWriteTime(Target(L"Brief.txt")).wSecond, 30);

    // A deleted source and an emptied folder leave the backup.
    DeleteFileW(Source(L"Fotos\\Bild.jpg").c_str());
    ConsoleResult third = Run(SetName());
    EXPECT_EQ(third.exitCode, 0u) << third.err;
    EXPECT_FALSE(FileExists(Target(L"Fotos\\Bild.jpg")));
    EXPECT_TRUE(FolderExists(Target()));
    EXPECT_FALSE(FolderExists(Target(L"Fotos")));
    EXPECT_TRUE(FileExists(Target(L"Brief.txt")));
}

TEST_F(CmdProgram, ReportsAFailedCopyInItsExitCodeAndLog) {
    WriteTextFile(Source(L"offen.txt"), "x");
    WriteSet({Source(), L"S:\\GibtEsNicht"}, TargetIndex(), false);
    LockedFile lock(Source(L"offen.txt"));

    ConsoleResult result = Run(SetName());
    EXPECT_EQ(result.exitCode, 1u);
    ASSERT_EQ(result.out.size(), 4u);
    // Folders go in list order: S:\CmdProgram_... before S:\GibtEsNicht.
    EXPECT_EQ(result.out[0], L"Nicht kopiert: " + Source(L"offen.txt"));
    EXPECT_EQ(result.out[1], L"Nicht gefunden: S:\\GibtEsNicht");
    EXPECT_EQ(result.out[2], L"Fehler beim kopieren !!");
    EXPECT_EQ(result.out, LogLines());
}

TEST_F(CmdProgram, RefusesAFileOnTheTargetDriveOnStderrAndGoesOn) {
    WriteTextFile(Source(L"a.txt"), "a");
    WriteTextFile(Target(L"schon.txt"), "t");
    // Only the first folder is compared with the target, so the run starts.
    WriteSet({Source(), Target()}, TargetIndex(), false);

    ConsoleResult result = Run(SetName());
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_THAT(result.err, HasSubstr(Target(L"schon.txt") + L" kann nicht gesichert werden !"));
    EXPECT_EQ(ReadWholeFile(Target(L"a.txt")), "a");
    EXPECT_EQ(result.out.front(), L"OK");
}

TEST_F(CmdProgram, RefusesToStartWhenABackupIsNotPossible) {
    struct Case {
        const char* what;
        std::vector<std::wstring> folders;
        int drive;
        const wchar_t* message;
    };
    // V: is a 2 MB drive; fill it to well under 1,000,000 free bytes.
    SmallDriveLock smallDrive;
    const std::wstring filler = std::wstring(1, SmallDrive()) + L":\\filler.bin";
    WriteTextFile(filler, std::string(1'500'000, 'x'));
    const Case cases[] = {
        {"no folder", {}, TargetIndex(), L"keinen Ordner"},
        {"no target", {Source()}, -1, L"Kein Ziellaufwerk"},
        {"first folder on target", {Target()}, TargetIndex(), L"erste Ordner"},
        {"target missing", {Source()}, 'X' - 'A', L"nicht bereit: X:"},
        {"too little space", {Source()}, SmallDrive() - L'A', L"1.000.000 Bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSet(c.folders, c.drive, false);
        ConsoleResult result = Run(SetName());
        EXPECT_EQ(result.exitCode, 4u);
        EXPECT_THAT(result.err, HasSubstr(c.message));
        EXPECT_THAT(result.out, IsEmpty());
        EXPECT_FALSE(FileExists(LogFile()));
    }
    DeleteFileW(filler.c_str());
}

TEST_F(CmdProgram, RejectsBadArgumentsAndAMissingSetFile) {
    struct Case {
        std::wstring arguments;
        DWORD exitCode;
        const wchar_t* err;
    };
    WriteSet({Source()}, TargetIndex(), false);
    const Case cases[] = {
        {L"/Schnell", 5, L"/Schnell"},
        {SetName() + L" Zweiter", 5, L"Zweiter"},
        {L"GibtEsNicht", 5, L"GibtEsNicht.ini"},
        {L"/?", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments.begin(), c.arguments.end()));
        ConsoleResult result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_THAT(result.err, HasSubstr(c.err));
        EXPECT_FALSE(FileExists(LogFile()));
    }
    EXPECT_THAT(Run(L"/?").out, ::testing::Contains(HasSubstr(L"/Vorschau")));
}

TEST_F(CmdProgram, PreviewTellsWhatARunWouldDoAndChangesNothing) {
    WriteTextFile(Source(L"neu.txt"), "neu");
    WriteTextFileWithTime(Source(L"Ordner\\da.txt"), "da", 2024, 1, 1, 10, 0, 0);
    WriteTextFileWithTime(Target(L"Ordner\\da.txt"), "da", 2024, 1, 1, 10, 0, 0);
    WriteTextFile(Target(L"weg.txt"), "weg");
    WriteTextFile(Target(L"Leer\\a\\alt.txt"), "alt");
    WriteSet({Source(), L"S:\\Fehlt"}, TargetIndex(), true);

    ConsoleResult result = Run(SetName() + L" /VORSCHAU");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_THAT(result.out,
                ElementsAre(L"Kopieren: " + Source(L"neu.txt"), L"Nicht gefunden: S:\\Fehlt",
                            L"Löschen: " + Target(L"Leer\\a\\alt.txt"),
                            L"Löschen: " + Target(L"weg.txt"), L"Nicht gelöscht: T:\\Fehlt",
                            L"Entfernen: " + Target(L"Leer\\a"), L"Entfernen: " + Target(L"Leer"),
                            L"Nicht gelöscht: T:\\Fehlt",
                            L"Vorschau: 1 zu kopieren, 2 zu löschen, 2 Ordner zu entfernen"));
    EXPECT_FALSE(FileExists(Target(L"neu.txt")));
    EXPECT_TRUE(FileExists(Target(L"weg.txt")));
    EXPECT_TRUE(FileExists(Target(L"Leer\\a\\alt.txt")));
    EXPECT_FALSE(FileExists(LogFile()));
}

// A copy that rots on the stick keeps its stamp: no run would renew it. The
// check finds it without changing anything; the repair copies it again.
TEST_F(CmdProgram, CheckFindsARottenCopyAndRepairMakesItWhole) {
    std::string large(3 * 1024 * 1024, 'x');
    for (std::size_t i = 0; i < large.size(); i += 4096)
        large[i] = static_cast<char>('a' + i / 4096 % 26);
    WriteTextFile(Source(L"Film.mp4"), large);
    WriteTextFile(Source(L"Brief.txt"), "Brief");
    WriteSet({Source()}, TargetIndex(), false);
    ASSERT_EQ(Run(SetName()).exitCode, 0u);

    const ConsoleResult clean = Run(SetName() + L" /Prüfen");
    EXPECT_EQ(clean.exitCode, 0u) << clean.err;
    EXPECT_THAT(clean.out, ElementsAre(HasSubstr(L"2 Dateien verglichen, ")));

    std::string rotten = large;
    rotten[2 * 1024 * 1024 + 3] ^= 1;
    const SYSTEMTIME stamp = LocalWriteTime(Target(L"Film.mp4"));
    WriteTextFileWithTime(Target(L"Film.mp4"), rotten, stamp.wYear, stamp.wMonth, stamp.wDay,
                          stamp.wHour, stamp.wMinute, stamp.wSecond);
    DeleteFileW(LogFile().c_str());

    const ConsoleResult found = Run(SetName() + L" /Prüfen");
    EXPECT_EQ(found.exitCode, 6u) << found.err;
    ASSERT_EQ(found.out.size(), 2u);
    EXPECT_EQ(found.out[0], L"Abweichend: " + Target(L"Film.mp4"));
    EXPECT_THAT(found.out[1], HasSubstr(L" 1 Probleme, 0 nicht aktuell"));
    EXPECT_EQ(ReadWholeFile(Target(L"Film.mp4")), rotten); // nothing changed, nothing logged
    EXPECT_EQ(ReadWholeFile(Source(L"Film.mp4")), large);
    EXPECT_FALSE(FileExists(LogFile()));

    const ConsoleResult repaired = Run(SetName() + L" /Reparieren");
    EXPECT_EQ(repaired.exitCode, 0u) << repaired.err;
    EXPECT_EQ(ReadWholeFile(Target(L"Film.mp4")), large);
    ASSERT_EQ(LogLines().size(), 2u);
    EXPECT_EQ(LogLines()[0], L"OK");
    EXPECT_EQ(Run(SetName() + L" /Prüfen").exitCode, 0u);

    EXPECT_EQ(Run(SetName() + L" /Prüfen /Vorschau").exitCode, 5u);
}

// The lines that a program started in a console of its own shows on the row of
// the cursor while it runs, read from outside as often as the console lets.
std::vector<std::wstring> ConsoleRowsWhileRunning(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &si, &pi))
        return {};
    const UniqueKernelObject process(pi.hProcess), thread(pi.hThread);
    FreeConsole();
    for (int i = 0; i < 500 && !AttachConsole(pi.dwProcessId); ++i)
        Sleep(2);
    const UniqueFile screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    std::vector<std::wstring> rows;
    do {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!screen || !GetConsoleScreenBufferInfo(screen.get(), &info)) continue;
        std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen.get(), row.data(), static_cast<DWORD>(row.size()),
                                    {0, info.dwCursorPosition.Y}, &read);
        row.resize(row.find_last_not_of(L' ') + 1);
        if (!row.empty() && (rows.empty() || rows.back() != row)) rows.push_back(row);
    } while (WaitForSingleObject(process.get(), 5) == WAIT_TIMEOUT);
    FreeConsole();
    return rows;
}

// On a console, stderr's progress line tells the files and bytes done of the
// whole, within 78 columns; redirected, stderr carries no such line.
TEST_F(CmdProgram, ShowsTheWholeOnTheConsoleAndNothingOfItRedirected) {
    for (int i = 0; i < 600; ++i)
        WriteTextFile(Source(L"Akten\\Brief" + std::to_wstring(1000 + i) + L".txt"),
                      std::string(4096, 'b'));
    WriteSet({Source(L"Akten")}, TargetIndex(), false);

    const std::vector<std::wstring> rows =
        ConsoleRowsWhileRunning(L"\"" + WinePathOfHostFile(KELVORIN_CMD_EXE) + L"\" " + SetName());
    const std::wregex line(
        LR"([0-9]{1,3} von 600 Dateien, [0-9],[0-9] von 2,3 MB(, [0-9]+(,[0-9])? MB/s, noch [0-9]+ (s|min))?  .*Brief[0-9]+\.txt)");
    std::vector<std::wstring> progress;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(progress),
                 [&](const std::wstring& row) { return std::regex_match(row, line); });
    EXPECT_FALSE(progress.empty()) << "rows seen: " << rows.size();
    for (const std::wstring& row : progress)
        EXPECT_LE(row.size(), 78u) << Narrow(row);
    EXPECT_EQ(NamesIn(Target(L"Akten")).size(), 600u);

    WriteTextFile(Source(L"Akten\\Brief1000.txt"), "neu");
    const ConsoleResult redirected = Run(SetName());
    EXPECT_EQ(redirected.exitCode, 0u);
    EXPECT_THAT(redirected.err, ::testing::Not(HasSubstr(L"von"))) << Narrow(redirected.err);
    EXPECT_THAT(redirected.err, ::testing::Not(HasSubstr(L"\r ")));
}

} // namespace
} // namespace kelvorin::testing
