// Folders of different drives whose backups share one folder on the target:
// synchronising one must never delete the other's backup.
#include "engine/BackupRun.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

namespace kelvorin::testing {
namespace {

class SharedBackupFolder : public DriveTest {
protected:
    void RunBackup() {
        host.set.SetDriveIndex(TargetDrive() - L'A');
        host.set.synchron = true;
        BackupRun run(host, {files, codePage, clock}, flags, U16(Source()) + u"\\");
        ASSERT_TRUE(run.Run());
    }

    MemoryRunHost host;
    RunFlags flags;
    Win32FileServices files;
    Win32CodePage codePage;
    Win32LocalClock clock;
};

TEST_F(SharedBackupFolder, KeepsTheBackupsOfEveryFolderThatSharesIt) {
    ExtraDrive stick(L'P'); // a second source drive
    const std::wstring onStick = stick.Path(FolderName() + L"\\Daten");
    WriteTextFile(Source(L"Daten\\vom-s.txt"), "s");
    WriteTextFile(onStick + L"\\vom-p.txt", "p");
    WriteTextFile(Target(L"Daten\\verwaist.txt"), "weg");
    host.set.folders.Add(U16(Source(L"Daten")));
    host.set.folders.Add(U16(onStick));

    RunBackup();
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\vom-s.txt")), "s");
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\vom-p.txt")), "p");
    EXPECT_FALSE(FileExists(Target(L"Daten\\verwaist.txt"))) << "a real orphan still goes";

    // The stick is gone: its backup stays although no source can be seen.
    stick.Unplug();
    RunBackup();
    EXPECT_TRUE(FileExists(Target(L"Daten\\vom-p.txt")));
    EXPECT_TRUE(FileExists(Target(L"Daten\\vom-s.txt")));
}

TEST_F(SharedBackupFolder, KeepsBackupsInsideTheBackupOfADriveRoot) {
    // "O:\" backs up into the target's root, where the backup of S:\<test>\Daten lies.
    // (Each test maps its own letter: tests run side by side.)
    ExtraDrive stick(L'O');
    WriteTextFile(stick.Path(L"root.txt"), "r");
    WriteTextFile(Source(L"Daten\\vom-s.txt"), "s");
    host.set.folders.Add(u"O:\\");
    host.set.folders.Add(U16(Source(L"Daten")));

    RunBackup();
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\vom-s.txt")), "s");
    const std::wstring rootCopy = std::wstring(1, TargetDrive()) + L":\\root.txt";
    EXPECT_EQ(ReadWholeFile(rootCopy), "r");
    DeleteFileW(rootCopy.c_str());
}

} // namespace
} // namespace kelvorin::testing
