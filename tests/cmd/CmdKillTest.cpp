// KelvorinCmd.exe killed at many points of a run that replaces, adds and
// removes backups: whatever the moment, every file that was on the stick
// before is still there with its bytes, at its place or in the version store,
// and the next run makes the mirror whole.
#include "engine/ListingFormat.h"
#include "engine/win32/Win32FileServices.h"
#include "tests/support/Fixtures.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/ProgramDriver.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/support/win32/SmallDriveLock.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <regex>
#include <string>

namespace kelvorin::testing {
namespace {

// Every file below the folder by its path below it, with its bytes.
std::map<std::wstring, std::string> FilesBelow(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    ForEachFileBelow(folder, [&](const std::wstring& below, const WIN32_FIND_DATAW&) {
        files[below] = ReadWholeFile(folder + below);
    });
    return files;
}

class CmdKill : public DriveTest {
protected:
    std::wstring SetFile() const {
        return std::wstring(1, DocsDrive()) + L":\\Dokumente\\" + FolderName() + L".ini";
    }
    // The world before each run: sources, a backup with outdated copies,
    // current ones and orphans.
    void MakeWorld(const ExtraDrive& stick) {
        MakeCleanFolder(Source());
        RemoveTree(stick.Path(L".Kelvorin-Versionen"));
        MakeCleanFolder(Backup(stick));
        const std::string big(256 * 1024, 'q');
        for (int i = 0; i < 80; ++i) {
            const std::wstring name =
                L"Teil" + std::to_wstring(i / 10) + L"\\d" + std::to_wstring(i) + L".bin";
            WriteTextFile(Source(name), big + "neu " + std::to_string(i));
            SetLocalWriteTime(Source(name), 2026, 6, 2, 10, 0, 0);
            if (i % 4 == 3) continue; // a new file
            WriteTextFile(Backup(stick) + L"\\" + name,
                          big + (i % 4 == 0 ? "neu " : "alt ") + std::to_string(i));
            SetLocalWriteTime(Backup(stick) + L"\\" + name, 2026, 6, i % 4 == 0 ? 2 : 1, 10, 0, 0);
        }
        for (int i = 0; i < 10; ++i)
            WriteTextFile(Backup(stick) + L"\\Weg\\w" + std::to_wstring(i) + L".txt",
                          "verwaist " + std::to_string(i));
    }
    std::wstring Backup(const ExtraDrive& stick) const { return stick.Path(FolderName()); }

    // Starts the console program and kills it after the given time; true when
    // it ended by itself first, with the exit code it is expected to end with.
    bool RunAndKillAfter(DWORD milliseconds, const std::wstring& arguments = L"",
                         DWORD expectedCode = 0) {
        std::wstring commandLine = L"\"" + WinePathOfHostFile(KELVORIN_CMD_EXE) + L"\" \"" +
                                   SetFile() + L"\" " + arguments;
        // No console and output to nowhere: a console host left behind by a
        // killed child would hold the test runner's pipe open.
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                   nullptr));
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul.get();
        PROCESS_INFORMATION pi{};
        // Hundreds of starts in a row: on a loaded machine Wine has been seen
        // to refuse one now and then, which says nothing of the program.
        BOOL started = FALSE;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            if (attempt > 0) Sleep(200);
            started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                     DETACHED_PROCESS, nullptr, nullptr, &si, &pi);
        }
        const DWORD error = GetLastError();
        nul.reset(); // the child has its own
        if (!started)
            throw std::runtime_error("KelvorinCmd.exe did not start, error " +
                                     std::to_string(error));
        const UniqueKernelObject process(pi.hProcess), thread(pi.hThread);
        const bool ended = WaitForSingleObject(pi.hProcess, milliseconds) == WAIT_OBJECT_0;
        if (!ended) {
            TerminateProcess(pi.hProcess, 137);
            WaitForSingleObject(pi.hProcess, 10000);
        }
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        // A run that ended by itself ended well: one refused would prove nothing.
        if (ended) {
            EXPECT_EQ(code, expectedCode) << "exit code of KelvorinCmd.exe";
        }
        return ended;
    }

    // A listing under its final name reads whole wherever a run was killed:
    // a restore never offers a state cut short.
    static void ExpectOnlyWholeListings(const ExtraDrive& stick) {
        Win32FileServices files;
        const std::wstring store = stick.Path(L".Kelvorin-Versionen");
        for (const std::wstring& name : NamesIn(store)) {
            if (name.ends_with(L".txt")) {
                EXPECT_TRUE(CheckListing(files, U16(store + L"\\" + name))) << Narrow(name);
            }
        }
    }

    // Every file the backup had is at its place or in a run folder, with its bytes.
    void ExpectNothingLost(const std::map<std::wstring, std::string>& before,
                           const ExtraDrive& stick) {
        const std::wstring store = stick.Path(L".Kelvorin-Versionen");
        const std::map<std::wstring, std::string> now = FilesBelow(Backup(stick));
        const std::map<std::wstring, std::string> kept = FilesBelow(store);
        for (const auto& [path, bytes] : before) {
            if (const auto it = now.find(path); it != now.end() && it->second == bytes) continue;
            bool found = false;
            for (const auto& [keptPath, keptBytes] : kept)
                found = found ||
                        (keptPath.ends_with(L"\\" + FolderName() + path) && keptBytes == bytes);
            EXPECT_TRUE(found) << "lost: " << std::string(path.begin(), path.end());
        }
    }
};

TEST_F(CmdKill, LosesNothingWhereverTheRunIsKilledAndTheNextRunMakesTheMirrorWhole) {
    ExtraDrive stick(L'B');
    const std::wstring source = Source();
    WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(L'B' - L'A') +
                                 "\r\nSynchron=TRUE\r\nOrdner=" +
                                 std::string(source.begin(), source.end()) + "\r\n");
    // Later and later, until the run ends by itself: the kills fall all over
    // the run, however fast this machine makes it. A finer step than 10 ms
    // outlasts the test's time on a loaded machine.
    int killed = 0;
    for (DWORD delay = 0; delay < 3000 && !HasFailure(); delay += 10) {
        SCOPED_TRACE(delay);
        MakeWorld(stick);
        const std::map<std::wstring, std::string> before = FilesBelow(Backup(stick));
        const bool ended = RunAndKillAfter(delay);
        killed += !ended;
        ExpectNothingLost(before, stick);
        ExpectOnlyWholeListings(stick);
        ASSERT_TRUE(RunAndKillAfter(60000)) << "the next run ends by itself";
        ExpectNothingLost(before, stick);
        ExpectOnlyWholeListings(stick);
        for (const std::wstring& name : NamesIn(stick.Path(L".Kelvorin-Versionen")))
            EXPECT_FALSE(name.ends_with(L".tmp")) << "a killed run's partial listing stayed";
        EXPECT_EQ(FilesBelow(Backup(stick)), FilesBelow(Source())) << "the mirror is whole again";
        if (ended) break;
    }
    EXPECT_GE(killed, 3) << "runs were killed in their middle";
    RemoveTree(Backup(stick));
    DeleteFileW(SetFile().c_str());
}

// A run folder's name for a day this many days before now.
std::wstring RunFolderDaysAgo(int days) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(days) * 864'000'000'000ULL;
    const FILETIME then{t.LowPart, t.HighPart};
    FILETIME local;
    SYSTEMTIME s;
    FileTimeToLocalFileTime(&then, &local);
    FileTimeToSystemTime(&local, &s);
    wchar_t name[32];
    swprintf(name, 32, L"%04u-%02u-%02u %02u.%02u.%02u", s.wYear, s.wMonth, s.wDay, s.wHour,
             s.wMinute, s.wSecond);
    return name;
}

// Killed while it prunes expired run folders, the run loses nothing that the
// keep time holds, and the next run prunes the rest.
TEST_F(CmdKill, LosesNoRunFolderWithinTheKeepTimeWhenKilledWhilePruning) {
    ExtraDrive stick(L'E');
    const std::wstring source = Source(), store = stick.Path(L".Kelvorin-Versionen");
    WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(L'E' - L'A') +
                                 "\r\nSynchron=TRUE\r\nOrdner=" +
                                 std::string(source.begin(), source.end()) + "\r\n");
    WriteTextFile(Source(L"a.txt"), "a");
    const std::wstring young[] = {RunFolderDaysAgo(1), RunFolderDaysAgo(29)};
    int killed = 0;
    for (DWORD delay = 0; delay < 3000 && !HasFailure(); delay += 10) {
        SCOPED_TRACE(delay);
        RemoveTree(store);
        for (int day = 40; day < 60; ++day)
            for (int i = 0; i < 20; ++i)
                WriteTextFile(store + L"\\" + RunFolderDaysAgo(day) + L"\\Daten\\f" +
                                  std::to_wstring(i) + L".txt",
                              "alt");
        for (const std::wstring& run : young)
            WriteTextFile(store + L"\\" + run + L"\\Daten\\jung.txt", "jung");
        const std::map<std::wstring, std::string> keep = {
            {L"\\" + young[0] + L"\\Daten\\jung.txt", "jung"},
            {L"\\" + young[1] + L"\\Daten\\jung.txt", "jung"}};

        const bool ended = RunAndKillAfter(delay);
        killed += !ended;
        std::map<std::wstring, std::string> now = FilesBelow(store);
        for (const auto& [path, bytes] : keep)
            EXPECT_EQ(now[path], bytes) << std::string(path.begin(), path.end());
        ASSERT_TRUE(RunAndKillAfter(60000)) << "the next run ends by itself";
        // The runs' listings stand in the store's root.
        std::map<std::wstring, std::string> runFolders = FilesBelow(store);
        std::erase_if(runFolders, [](const auto& file) {
            return file.first.find(L'\\', 1) == std::wstring::npos;
        });
        EXPECT_EQ(runFolders, keep) << "only the expired run folders went";
        if (ended) break;
    }
    EXPECT_GE(killed, 3) << "runs were killed in their middle";
    RemoveTree(stick.Path(FolderName()));
    DeleteFileW(SetFile().c_str());
}

// Killed while it removes run folders for room on the 2 MB drive: they go
// oldest first, each run's listing before its folder, and the copy that the
// run replaces is at its place or in the store, whatever the moment.
TEST_F(CmdKill, RemovesRunFoldersForRoomOldestFirstWhereverItIsKilled) {
    SmallDriveLock smallDrive;
    const std::wstring drive(1, SmallDrive());
    const std::wstring store = drive + L":\\.Kelvorin-Versionen";
    const std::wstring copy = drive + L":\\" + FolderName() + L"\\gross.bin";
    const std::wstring source = Source();
    WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(SmallDrive() - L'A') +
                                 "\r\nSynchron=FALSE\r\nOrdner=" + Narrow(source) + "\r\n");
    // Its stamp is now, later than the copy's: the copy is replaced.
    const std::string newBytes(1'650'000, 'n'), oldBytes(4096, 'a');
    WriteTextFile(Source(L"gross.bin"), newBytes);
    // Eight young run folders of 16 files of a page each, and their listings:
    // about 1.5 MB stay free, too little for the new copy until four are gone.
    std::vector<std::wstring> young;
    for (int day = 8; day >= 1; --day)
        young.push_back(store + L"\\" + RunFolderDaysAgo(day));
    int killed = 0, caughtPruning = 0;
    // The run is short: a finer step than the other kill tests'.
    for (DWORD delay = 0; delay < 3000 && !HasFailure(); delay += 5) {
        SCOPED_TRACE(delay);
        RemoveTree(store);
        RemoveTree(drive + L":\\" + FolderName());
        WriteTextFile(copy, oldBytes);
        SetLocalWriteTime(copy, 2026, 6, 1, 10, 0, 0);
        for (const std::wstring& run : young) {
            for (int i = 0; i < 16; ++i)
                WriteTextFile(run + L"\\Daten\\f" + std::to_wstring(i) + L".txt",
                              std::string(2048, 'v'));
            WriteTextFile(run + L".txt", "Stand");
        }

        const bool ended = RunAndKillAfter(delay);
        killed += !ended;
        bool oldKept = false;
        for (const auto& [path, bytes] : FilesBelow(store))
            oldKept = oldKept ||
                      (path.ends_with(L"\\" + FolderName() + L"\\gross.bin") && bytes == oldBytes);
        const std::string inPlace = FileExists(copy) ? ReadWholeFile(copy) : "";
        EXPECT_TRUE(inPlace == newBytes || inPlace == oldBytes || oldKept)
            << "the replaced copy is lost";
        // Each young run: Whole with its listing, Gone, or Partly removed
        // after its listing; never a listing beside a partial folder (X).
        std::string runs;
        for (const std::wstring& run : young) {
            const bool listing = FileExists(run + L".txt");
            const std::size_t files = FilesBelow(run).size();
            if (listing)
                runs += files == 16 ? 'W' : 'X';
            else
                runs += files == 0 && !FolderExists(run) ? 'G' : 'P';
        }
        EXPECT_TRUE(std::regex_match(runs, std::regex("G*P?W*"))) << runs << ", oldest first";
        if (ended) {
            EXPECT_EQ(runs, "GGGGGGGG") << "the end of the run keeps room for the next";
            EXPECT_EQ(inPlace, newBytes);
            EXPECT_TRUE(oldKept);
            break;
        }
        caughtPruning += runs != "WWWWWWWW" && runs != "GGGGGGGG";
    }
    EXPECT_GE(killed, 3) << "runs were killed in their middle";
    EXPECT_GE(caughtPruning, 1) << "a kill fell while run folders were being removed";
    RemoveTree(store);
    RemoveTree(drive + L":\\" + FolderName());
    DeleteFileW(SetFile().c_str());
}

// A restore killed at any moment leaves no file under its name that is not
// whole: each is written under a partial name and renamed once complete.
TEST_F(CmdKill, LeavesNoPartFileUnderItsNameWhereverARestoreIsKilled) {
    ExtraDrive stick(L'B');
    const std::wstring source = Source();
    MakeCleanFolder(source);
    RemoveTree(stick.Path(L".Kelvorin-Versionen"));
    MakeCleanFolder(Backup(stick));
    std::map<std::wstring, std::string> want;
    // Enough that a restore outlasts several steps of the kill, however fast it starts.
    for (int i = 0; i < 16; ++i) {
        const std::wstring name = L"\\d" + std::to_wstring(i) + L".bin";
        want[name] = std::string(8 * 1024 * 1024 + i, static_cast<char>('a' + i));
        WriteTextFile(source + name, want[name]);
    }
    WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(L'B' - L'A') + "\r\nOrdner=" +
                                 std::string(source.begin(), source.end()) + "\r\n");
    ASSERT_TRUE(RunAndKillAfter(60000)) << "the backup ends by itself";

    const std::wstring folder = std::wstring(1, DocsDrive()) + L":\\Zur\u00fcck_" + FolderName();
    const std::wstring restored = folder + L"\\" + source.substr(0, 1) + source.substr(2);
    int killed = 0;
    for (DWORD delay = 0; delay < 5000 && !HasFailure(); delay += 5) {
        SCOPED_TRACE(delay);
        RemoveTree(folder);
        const bool ended =
            RunAndKillAfter(delay, L"/Zur\u00fcck:2099-12-31 \"/Nach:" + folder + L"\"");
        killed += !ended;
        for (const auto& [name, bytes] : FilesBelow(restored)) {
            if (name.ends_with(L".tmp")) continue; // a part, under a name that says so
            const auto it = want.find(name);
            ASSERT_NE(it, want.end()) << Narrow(name);
            EXPECT_EQ(bytes, it->second) << "a part under the final name " << Narrow(name);
        }
        if (ended) {
            EXPECT_EQ(FilesBelow(restored), want) << "a restore that ends writes every file";
            break;
        }
    }
    EXPECT_GE(killed, 3) << "restores were killed in their middle";
    RemoveTree(folder);
    RemoveTree(Backup(stick));
    DeleteFileW(SetFile().c_str());
}

} // namespace
} // namespace kelvorin::testing
