// The version store on the real file system: each test backs up to a drive
// of its own, so that the store at its root is the test's alone.
#include "engine/VersionStore.h"

#include "engine/BackupRun.h"
#include "engine/Calendar.h"
#include "engine/RunNames.h"
#include "engine/Texts.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/support/win32/SmallDriveLock.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

LocalTime Today() {
    return Win32LocalClock().Now();
}

LocalTime DaysBefore(const LocalTime& t, int days) {
    SYSTEMTIME s{static_cast<WORD>(t.year),
                 static_cast<WORD>(t.month),
                 0,
                 static_cast<WORD>(t.day),
                 static_cast<WORD>(t.hour),
                 static_cast<WORD>(t.minute),
                 static_cast<WORD>(t.second),
                 0};
    FILETIME f;
    SystemTimeToFileTime(&s, &f);
    ULARGE_INTEGER u{{f.dwLowDateTime, f.dwHighDateTime}};
    u.QuadPart -= static_cast<ULONGLONG>(days) * 864'000'000'000ULL;
    f = {u.LowPart, u.HighPart};
    FileTimeToSystemTime(&f, &s);
    return {s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond, 0};
}

class VersionStoreTest : public RunOnDrivesTest {
protected:
    void SetUp() override {
        RunOnDrivesTest::SetUp();
        host.set.synchron = true;
        host.set.folders.Add(U16(Source()));
    }

    // The target is a drive of the test's own.
    void TargetOn(const ExtraDrive& drive) {
        target_ = drive.Path(L"");
        host.set.SetDriveIndex(target_[0] - L'A');
    }
    using RunOnDrivesTest::RunBackup;
    bool RunBackup(LocalClock& runClock) { return RunBackup(fs, DataDir(), runClock); }
    // The backup of a file of the source folder.
    std::wstring Backup(const std::wstring& relative) const {
        return target_.substr(0, 2) + Source(relative).substr(2);
    }
    std::wstring Store() const { return target_.substr(0, 3) + L".Kelvorin-Versionen"; }
    // A file as a run folder of the store keeps it.
    std::wstring Kept(const std::wstring& runFolder, const std::wstring& relative) const {
        return Store() + L"\\" + runFolder + Source(relative).substr(2);
    }

    // A source "neu" newer than its backup "alt".
    void ChangedBackup(const std::wstring& relative) {
        WriteTextFile(Source(relative), "neu");
        SetLocalWriteTime(Source(relative), 2026, 3, 2, 10, 0, 0);
        WriteTextFile(Backup(relative), "alt");
        SetLocalWriteTime(Backup(relative), 2026, 3, 1, 10, 0, 0);
    }

    std::wstring target_;
};

TEST_F(VersionStoreTest, KeepsWhatARunReplacesOrRemovesAndTheMirrorStaysAsItWas) {
    ExtraDrive stick(L'G');
    TargetOn(stick);
    WriteTextFile(Source(L"Brief.txt"), "neu");
    SetLocalWriteTime(Source(L"Brief.txt"), 2026, 3, 2, 10, 0, 0);
    WriteTextFile(Source(L"gleich.txt"), "gleich");
    WriteTextFile(Backup(L"Brief.txt"), "alt");
    SetLocalWriteTime(Backup(L"Brief.txt"), 2026, 3, 1, 10, 0, 0);
    WriteTextFile(Backup(L"Weg\\verwaist.txt"), "verwaist");
    const LocalTime start{2026, 12, 10, 20, 15, 3, 0};
    FixedClock fixed(start);

    ASSERT_TRUE(RunBackup(fixed));
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), u"OK");
    EXPECT_EQ(ReadWholeFile(Backup(L"Brief.txt")), "neu");
    EXPECT_FALSE(FileExists(Backup(L"Weg\\verwaist.txt")));
    EXPECT_FALSE(FolderExists(Backup(L"Weg"))) << "the emptied folder goes as without versions";
    EXPECT_THAT(NamesIn(Store()), ElementsAre(L"2026-12-10 20.15.03", L"2026-12-10 20.15.03.txt"));
    const std::wstring run = L"2026-12-10 20.15.03";
    EXPECT_EQ(ReadWholeFile(Kept(run, L"Brief.txt")), "alt");
    const SYSTEMTIME t = LocalWriteTime(Kept(run, L"Brief.txt"));
    EXPECT_EQ(t.wDay, 1) << "a version keeps its stamp";
    EXPECT_EQ(ReadWholeFile(Kept(run, L"Weg\\verwaist.txt")), "verwaist");
    EXPECT_FALSE(FileExists(Kept(run, L"gleich.txt")));

    // A run that changes nothing leaves no run folder and no listing; a check
    // never enters the store.
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(NamesIn(Store()), ElementsAre(run, run + L".txt"));
    EXPECT_EQ(host.Status(), u"OK");
}

TEST_F(VersionStoreTest, LeavesAReadOnlyOrphanWhereItIsAndReportsIt) {
    ExtraDrive stick(L'H');
    TargetOn(stick);
    WriteTextFile(Backup(L"schreibgeschuetzt.txt"), "bleibt");
    SetFileAttributesW(Backup(L"schreibgeschuetzt.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(),
                ElementsAre(kNotDeletedLine + U16(Backup(L"schreibgeschuetzt.txt"))));
    EXPECT_EQ(host.Status(), u"Nicht gelöscht !");
    EXPECT_EQ(ReadWholeFile(Backup(L"schreibgeschuetzt.txt")), "bleibt");
    EXPECT_FALSE(FolderExists(Store()));
    SetFileAttributesW(Backup(L"schreibgeschuetzt.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A drive root as the set's folder: its backup folder is the target's root,
// beside the store, which neither pass enters.
TEST_F(VersionStoreTest, LeavesTheStoreAloneWhenTheBackupFolderIsTheDrivesRoot) {
    ExtraDrive source(L'I'), stick(L'J');
    TargetOn(stick);
    host.set.folders.Clear();
    host.set.folders.Add(u"I:\\");
    WriteTextFile(source.Path(L"Daten\\a.txt"), "a");
    WriteTextFile(stick.Path(L"Daten\\a.txt"), "alt");
    SetLocalWriteTime(stick.Path(L"Daten\\a.txt"), 2020, 1, 1, 0, 0, 0);
    WriteTextFile(stick.Path(L"b.txt"), "verwaist");
    ASSERT_TRUE(RunBackup());
    ASSERT_THAT(host.Problems(), IsEmpty());
    const std::vector<std::wstring> runs = NamesIn(Store());
    ASSERT_EQ(runs.size(), 2u) << "the run folder and its listing";
    const std::wstring run = Store() + L"\\" + runs[0];
    EXPECT_EQ(ReadWholeFile(run + L"\\Daten\\a.txt"), "alt");
    EXPECT_EQ(ReadWholeFile(run + L"\\b.txt"), "verwaist");

    // Again, now that the store has content: nothing in it is an orphan or empty.
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(ReadWholeFile(run + L"\\Daten\\a.txt"), "alt");
    EXPECT_EQ(ReadWholeFile(run + L"\\b.txt"), "verwaist");
    EXPECT_THAT(NamesIn(stick.Path(L"")), ElementsAre(L".Kelvorin-Versionen", L"Daten"));
}

TEST_F(VersionStoreTest, GivesASecondRunInTheSameSecondAFolderOfItsOwn) {
    ExtraDrive stick(L'M');
    TargetOn(stick);
    FixedClock fixed({2026, 12, 10, 20, 15, 3, 0});
    for (const char* contents : {"eins", "zwei", "drei"}) {
        WriteTextFile(Backup(L"a.txt"), contents);
        ASSERT_TRUE(RunBackup(fixed));
    }
    // A name is free when neither a run folder nor a listing bears it.
    EXPECT_THAT(NamesIn(Store()),
                ElementsAre(L"2026-12-10 20.15.03", L"2026-12-10 20.15.03 (2)",
                            L"2026-12-10 20.15.03 (2).txt", L"2026-12-10 20.15.03 (3)",
                            L"2026-12-10 20.15.03 (3).txt", L"2026-12-10 20.15.03.txt"));
    EXPECT_EQ(ReadWholeFile(Kept(L"2026-12-10 20.15.03 (2)", L"a.txt")), "zwei");
}

TEST_F(VersionStoreTest, DropsRunFoldersPastTheKeepTimeByTheirNamesAndNothingElse) {
    ExtraDrive stick(L'U');
    TargetOn(stick);
    host.set.versionDays = 10;
    const LocalTime now = Today();
    // The age counts from the newest run folder: a day before the run.
    const std::wstring expired = Wide(RunFolderName(DaysBefore(now, 12)));
    const std::wstring recent = Wide(RunFolderName(DaysBefore(now, 1))) + L" (2)";
    for (const std::wstring& entry :
         {expired, recent, std::wstring(L"Eigenes"), std::wstring(L"2026-12-10 20.15.03 Kopie")})
        WriteTextFile(Store() + L"\\" + entry + L"\\a.txt", "a");
    // Its stamp is new: a copied stick tells nothing by stamps.
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_THAT(NamesIn(Store()), ElementsAre(recent, L"2026-12-10 20.15.03 Kopie", L"Eigenes"));

    // Versionen=0: the store is not even looked at.
    host.set.versionDays = 0;
    WriteTextFile(Store() + L"\\" + expired + L"\\a.txt", "a");
    WriteTextFile(Backup(L"verwaist.txt"), "weg");
    ASSERT_TRUE(RunBackup());
    EXPECT_FALSE(FileExists(Backup(L"verwaist.txt")));
    EXPECT_THAT(NamesIn(Store()),
                ElementsAre(expired, recent, L"2026-12-10 20.15.03 Kopie", L"Eigenes"));
}

TEST_F(VersionStoreTest, MakesRoomFromTheOldestVersionsWhenTheDriveIsFull) {
    SmallDriveLock lock;
    const std::wstring small = std::wstring(1, SmallDrive()) + L":\\";
    RemoveTree(small + L".Kelvorin-Versionen");
    host.set.SetDriveIndex(SmallDrive() - L'A');
    target_ = small;
    const std::wstring older = Wide(RunFolderName(DaysBefore(Today(), 2)));
    const std::wstring old = Wide(RunFolderName(DaysBefore(Today(), 1)));
    WriteTextFile(Store() + L"\\" + older + L"\\x.bin", std::string(500 * 1024, 'x'));
    WriteTextFile(Store() + L"\\" + old + L"\\y.bin", std::string(500 * 1024, 'y'));
    WriteTextFile(Backup(L"gross.bin"), std::string(300 * 1024, 'o'));
    SetLocalWriteTime(Backup(L"gross.bin"), 2025, 1, 1, 10, 0, 0);
    WriteTextFile(Source(L"gross.bin"), std::string(700 * 1024, 'n'));
    // 2 MB: 1.3 MB used, so the new copy fits only once the older version went.
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(ReadWholeFile(Backup(L"gross.bin")), std::string(700 * 1024, 'n'));
    std::vector<std::wstring> runs = NamesIn(Store());
    std::erase_if(runs, [](const std::wstring& name) { return name.ends_with(L".txt"); });
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(ReadWholeFile(Store() + L"\\" + runs.back() + Source(L"gross.bin").substr(2)),
              std::string(300 * 1024, 'o'));
    EXPECT_EQ(std::count(runs.begin(), runs.end(), older), 0);
    // The run ends with more than 1,000,000 bytes free, or with its own folder alone.
    EXPECT_TRUE(fs.FreeBytesOnDrive(DriveLetter::FromLetter(SmallDrive())) > 1'000'000 ||
                runs.size() == 1u)
        << runs.size() << " run folders";
    RemoveTree(Store());
    RemoveTree(small + FolderName());
}

TEST_F(VersionStoreTest, ReplacesAndRemovesNothingWhenTheStoreCannotBeMade) {
    ExtraDrive stick(L'W');
    TargetOn(stick);
    WriteTextFile(Store(), "a file where the store would be");
    ChangedBackup(L"a.txt");
    WriteTextFile(Backup(L"verwaist.txt"), "verwaist");
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.txt")),
                                             kNotDeletedLine + U16(Backup(L"verwaist.txt"))));
    EXPECT_EQ(host.Status(), u"Fehler beim kopieren !!");
    EXPECT_EQ(ReadWholeFile(Backup(L"a.txt")), "alt");
    EXPECT_EQ(ReadWholeFile(Backup(L"verwaist.txt")), "verwaist");
    EXPECT_THAT(NamesIn(Backup(L"")), ElementsAre(L"a.txt", L"verwaist.txt"))
        << "no partial copy is left";
}

// A store that is a link leads off the stick: nothing is kept there, nothing
// pruned in what it points to, and the backup stays as it was.
TEST_F(VersionStoreTest, NeitherKeepsNorPrunesInAStoreThatIsALink) {
    ExtraDrive stick(L'X');
    TargetOn(stick);
    const std::wstring elsewhere = Source(L"woanders");
    WriteTextFile(elsewhere + L"\\2020-01-01 08.00.00\\alt.txt", "alt");
    HostLink link(Store(), elsewhere);
    ChangedBackup(L"a.txt");
    WriteTextFile(Backup(L"verwaist.txt"), "verwaist");
    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.txt")),
                                             kNotDeletedLine + U16(Backup(L"verwaist.txt"))));
    EXPECT_EQ(ReadWholeFile(Backup(L"a.txt")), "alt");
    EXPECT_EQ(ReadWholeFile(elsewhere + L"\\2020-01-01 08.00.00\\alt.txt"), "alt");
    EXPECT_THAT(NamesIn(elsewhere), ElementsAre(L"2020-01-01 08.00.00"));
}

} // namespace
} // namespace kelvorin::testing
