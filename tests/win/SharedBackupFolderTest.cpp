// Folders of different drives whose backups share one folder on the target:
// synchronising one must never delete the other's backup.
#include "engine/BackupRun.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

namespace kelvorin::testing {
namespace {

class SharedBackupFolder : public RunOnDrivesTest {
protected:
    void RunBackup() {
        host.set.synchron = true;
        ASSERT_TRUE(RunOnDrivesTest::RunBackup());
    }
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
    // "O:\" backs up into the root of the target, where the backup of
    // S:\<test>\Daten lies. The target is a drive of this test's own: the
    // drive root's file pass takes everything else on it for orphans.
    // (Each test maps its own letters: tests run side by side.)
    ExtraDrive stick(L'O');
    ExtraDrive target(L'N');
    WriteTextFile(stick.Path(L"root.txt"), "r");
    WriteTextFile(Source(L"Daten\\vom-s.txt"), "s");
    WriteTextFile(target.Path(L"verwaist.txt"), "weg");
    host.set.folders.Add(u"O:\\");
    host.set.folders.Add(U16(Source(L"Daten")));
    host.set.SetDriveIndex('N' - 'A');
    host.set.synchron = true;

    ASSERT_TRUE(RunOnDrivesTest::RunBackup());
    EXPECT_EQ(ReadWholeFile(target.Path(FolderName() + L"\\Daten\\vom-s.txt")), "s");
    EXPECT_EQ(ReadWholeFile(target.Path(L"root.txt")), "r");
    EXPECT_FALSE(FileExists(target.Path(L"verwaist.txt"))) << "a real orphan still goes";
}

// The target takes "Δaten" and "δaten" for one folder, as it takes "Daten"
// and "daten": so does the claim, by the file system's own case rule.
TEST_F(SharedBackupFolder, KeepsTheBackupsOfFoldersWhoseNamesDifferInCaseBeyondLatin) {
    ExtraDrive stick(L'P');
    const struct {
        const wchar_t *upper, *lower;
    } alphabets[] = {
        {L"\u0394aten", L"\u03b4aten"},
        {L"\u0414\u0430\u043d\u043d\u044b\u0435", L"\u0434\u0430\u043d\u043d\u044b\u0435"}};
    for (const auto& names : alphabets) {
        SCOPED_TRACE(Narrow(std::wstring(names.upper)));
        const std::wstring onStick = stick.Path(FolderName() + L"\\" + names.lower);
        WriteTextFile(Source(std::wstring(names.upper) + L"\\vom-s.txt"), "s");
        WriteTextFile(onStick + L"\\vom-p.txt", "p");
        host.set.folders.Clear();
        host.set.folders.Add(U16(Source(names.upper)));
        host.set.folders.Add(U16(onStick));

        RunBackup();
        EXPECT_EQ(ReadWholeFile(Target(std::wstring(names.upper) + L"\\vom-s.txt")), "s");
        EXPECT_EQ(ReadWholeFile(Target(std::wstring(names.lower) + L"\\vom-p.txt")), "p");
        EXPECT_THAT(host.Problems(), ::testing::IsEmpty());
    }
}

} // namespace
} // namespace kelvorin::testing
