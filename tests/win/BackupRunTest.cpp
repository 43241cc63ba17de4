// Backup runs over the real file system: scratch folders on the source and
// target drives, the log file in a folder of its own on the documents drive.
#include "engine/BackupRun.h"
#include "engine/Texts.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/support/win32/SmallDriveLock.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

MemoryRunHost::Step Entering(const std::wstring& folder) {
    return {RunStep::EnteringFolder, U16(folder)};
}

std::string Text(const std::wstring& path) {
    return ReadWholeFile(path);
}

class BackupRunTest : public RunOnDrivesTest {
protected:
    void AddFolder(const std::wstring& path) { host.set.folders.Add(U16(path)); }
};

TEST_F(BackupRunTest, CopiesEveryFileWithItsStampAndAgainOnlyWhatChanged) {
    WriteTextFileWithTime(Source(L"Brief.txt"), "Brief", 2025, 6, 1, 8, 0, 0);
    WriteTextFileWithTime(Source(L"a\\b\\c\\tief.txt"), "tief", 2025, 6, 2, 9, 30, 4);
    WriteTextFileWithTime(Source(L"leer.txt"), "", 2025, 6, 3, 10, 0, 0);
    AddFolder(Source());

    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(Text(Target(L"Brief.txt")), "Brief");
    EXPECT_EQ(Text(Target(L"a\\b\\c\\tief.txt")), "tief") << "a missing folder chain is made";
    EXPECT_EQ(Text(Target(L"leer.txt")), "");
    for (const wchar_t* file : {L"Brief.txt", L"a\\b\\c\\tief.txt", L"leer.txt"})
        EXPECT_EQ(WriteTime(Target(file)), WriteTime(Source(file)))
            << "stamp of " << Narrow(U16(file));
    EXPECT_EQ(counts.filesCopied, 3u);
    EXPECT_EQ(counts.bytesCopied, 9u);
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), u"OK");
    EXPECT_EQ(host.ended, RunStatus::Ok);
    EXPECT_THAT(host.selections, ElementsAre(0u, 0u)) << "for its walk, then for its copies";
    EXPECT_EQ(host.busyBegins, 1);
    EXPECT_EQ(host.busyEnds, 1);
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"Brief.txt", L"a", L"leer.txt"))
        << "no partial copy is left";

    WriteTextFileWithTime(Source(L"Brief.txt"), "Brief, neu", 2025, 6, 1, 8, 0, 2);
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(counts.filesChecked, 3u);
    EXPECT_EQ(counts.filesCopied, 1u);
    EXPECT_EQ(Text(Target(L"Brief.txt")), "Brief, neu");
}

TEST_F(BackupRunTest, KnowsTheWholeOfEveryFolderBeforeItsFirstCopyAndListsEachForItsCopies) {
    WriteTextFile(Source(L"A\\eins.txt"), "123");
    WriteTextFile(Source(L"A\\Sub\\zwei.txt"), "12345");
    WriteTextFile(Source(L"A\\aus.tmp"), "left out");
    WriteTextFile(Source(L"B\\drei.txt"), "1234567");
    AddFolder(Source(L"A"));
    AddFolder(Source(L"Fehlt"));
    AddFolder(Source(L"B"));
    host.set.exclusions = {u"tmp"};
    std::vector<std::vector<std::u16string>> shown;
    host.onShowWorkList = [&] { shown.push_back(host.workList.Items()); };
    using Step = MemoryRunHost::Step;
    const auto walksAndCopies = [&] {
        std::vector<Step> steps;
        std::copy_if(host.progress.begin(), host.progress.end(), std::back_inserter(steps),
                     [](const Step& s) {
                         return s.step == RunStep::EnteringFolder ||
                                s.step == RunStep::CopiesBegin || s.step == RunStep::Copying;
                     });
        return steps;
    };
    const std::u16string a = U16(Source(L"A")), b = U16(Source(L"B"));

    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(walksAndCopies(),
                ElementsAre(Entering(Source(L"A")), Entering(Source(L"A\\Sub")),
                            Entering(Source(L"B")), Step{RunStep::CopiesBegin, u""},
                            Step{RunStep::Copying, a + u"\\eins.txt"},
                            Step{RunStep::Copying, a + u"\\Sub\\zwei.txt"},
                            Step{RunStep::Copying, b + u"\\drei.txt"}));
    EXPECT_EQ(host.atCopiesBegin.filesToCheck, 3u);
    EXPECT_EQ(host.atCopiesBegin.bytesToCheck, 15u);
    EXPECT_EQ(host.atCopiesBegin.filesChecked, 0u);
    EXPECT_THAT(shown, ElementsAre(ElementsAre(a + u"\\eins.txt", a + u"\\Sub\\zwei.txt"),
                                   ElementsAre(b + u"\\drei.txt")))
        << "the file list holds the folder in work";
    EXPECT_THAT(host.Problems(), ElementsAre(kNotFoundLine + U16(Source(L"Fehlt"))));
    EXPECT_THAT(host.selections, ElementsAre(0u, 1u, 2u, 0u, 1u, 2u));
    EXPECT_EQ(counts.bytesChecked, 15u);

    // Current copies are checked through with their bytes too.
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(counts.filesCopied, 0u);
    EXPECT_EQ(std::count(host.progress.begin(), host.progress.end(),
                         Step{RunStep::CopyIsCurrent, b + u"\\drei.txt"}),
              1);
    EXPECT_EQ(counts.bytesChecked, 15u);
}

TEST_F(BackupRunTest, RenewsACopyOnlyWhenTheSourcesStampIsLater) {
    struct Case {
        const wchar_t* name;
        int sourceDay, sourceHour, sourceMinute, sourceSecond;
        int copyDay, copyHour, copyMinute, copySecond;
        bool renewed;
    } const cases[] = {
        {L"zwei-sekunden.txt", 1, 10, 0, 2, 1, 10, 0, 0, true},
        {L"eine-sekunde.txt", 1, 10, 0, 1, 1, 10, 0, 0, false},
        {L"gleich.txt", 1, 10, 0, 0, 1, 10, 0, 0, false},
        {L"eine-stunde.txt", 1, 11, 0, 0, 1, 10, 0, 0, false},
        {L"zwei-stunden.txt", 1, 12, 0, 0, 1, 10, 0, 0, true},
        {L"ueber-mitternacht.txt", 2, 0, 30, 0, 1, 23, 30, 0, true},
        {L"kopie-spaeter.txt", 1, 10, 0, 0, 1, 10, 0, 4, false},
    };
    for (const auto& c : cases) {
        WriteTextFileWithTime(Source(c.name), "neu", 2025, 3, c.sourceDay, c.sourceHour,
                              c.sourceMinute, c.sourceSecond);
        WriteTextFileWithTime(Target(c.name), "alt", 2025, 3, c.copyDay, c.copyHour, c.copyMinute,
                              c.copySecond);
    }
    AddFolder(Source());
    ASSERT_TRUE(RunBackup());
    for (const auto& c : cases)
        EXPECT_EQ(Text(Target(c.name)), c.renewed ? "neu" : "alt") << Narrow(U16(c.name));
    EXPECT_EQ(host.Status(), u"OK");
}

TEST_F(BackupRunTest, LeavesOutExcludedTypesDotFoldersAndLinksToFolders) {
    host.set.exclusions = {u"bak", u"~", u"", u"BAK", u"git"};
    for (const wchar_t* name :
         {L"Brief.BAK", L"Brief.bak2", L"Brief.doc~", L".gitignore", L"Brief.txt", L"~$Brief.docx",
          L"Makefile", L"Brief.Bak.txt", L".profile", L"desktop.ini", L".cache\\x.txt",
          L"sub\\.git\\config", L"sub\\s.txt", L"real\\r.txt"})
        WriteTextFile(Source(name), "x");
    SetFileAttributesW(Source(L"desktop.ini").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    AddFolder(Source());
    {
        const HostLink link(Source(L"link"), Source(L"real"));
        const HostLink fileLink(Source(L"flink.txt"), Source(L"real\\r.txt"));
        ASSERT_TRUE(RunBackup());
    }
    EXPECT_THAT(NamesIn(Target()),
                ElementsAre(L".profile", L"Brief.Bak.txt", L"Brief.txt", L"Makefile",
                            L"desktop.ini", L"flink.txt", L"real", L"sub", L"~$Brief.docx"));
    EXPECT_THAT(NamesIn(Target(L"sub")), ElementsAre(L"s.txt"));
    EXPECT_EQ(Text(Target(L"flink.txt")), "x") << "a link to a file is copied as the file";
    EXPECT_THAT(host.Problems(), IsEmpty());
}

TEST_F(BackupRunTest, WalksADriveRootWithTheDoubledBackslashInItsPaths) {
    ExtraDrive drive(L'R');
    WriteTextFile(drive.Path(FolderName() + L"\\Daten\\Brief.txt"), "root");
    WriteTextFile(drive.Path(FolderName() + L"\\gesperrt.txt"), "locked");
    const std::wstring rootFolder = L"R:\\\\" + FolderName();
    {
        LockedFile lock(rootFolder + L"\\gesperrt.txt");
        host.set.folders.Add(u"R:\\");
        ASSERT_TRUE(RunBackup());
    }
    EXPECT_EQ(Text(Target(L"Daten\\Brief.txt")), "root");
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(rootFolder) + u"\\gesperrt.txt"))
        << "paths keep the doubled backslash: "
        << Narrow(host.Problems().empty() ? u"" : host.Problems()[0]);
}

// Counted in 16 bits, the long form of "L:\" and 32,768 letters would be
// "\\?\L:\", which exists: the run would back up the whole drive.
TEST_F(BackupRunTest, TakesAnEntryLongerThanTheSystemTakesForAMissingFolder) {
    ExtraDrive drive(L'L');
    WriteTextFile(drive.Path(L"Brief.txt"), "Wurzel");
    const std::u16string entry = u"L:\\" + std::u16string(32768, u'a');
    host.set.folders.Add(entry);
    ASSERT_TRUE(RunBackup());
    EXPECT_TRUE(host.Problems() == std::vector<std::u16string>{kNotFoundLine + entry})
        << host.Problems().size() << " problems";
    EXPECT_FALSE(FileExists(std::wstring(1, TargetDrive()) + L":\\Brief.txt"));
    EXPECT_EQ(counts.filesCopied, 0u);
}

// The window keeps its folder list unchanged during a run; should it change
// all the same, the run still works on the folders it started with.
TEST_F(BackupRunTest, WorksOnTheFoldersAsTheyWereAtItsStart) {
    WriteTextFile(Source(L"A\\a.txt"), "a");
    WriteTextFile(Source(L"B\\b.txt"), "b");
    AddFolder(Source(L"A"));
    AddFolder(Source(L"B"));
    host.onPump = [&] { host.set.folders.Clear(); };
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(Text(Target(L"A\\a.txt")), "a");
    EXPECT_EQ(Text(Target(L"B\\b.txt")), "b");
    EXPECT_THAT(host.Problems(), IsEmpty());
}

TEST_F(BackupRunTest, ReportsASourceHeldOpenAndGoesOn) {
    WriteTextFile(Source(L"a.txt"), "a");
    WriteTextFile(Source(L"b.txt"), "b");
    WriteTextFile(Source(L"c.txt"), "c");
    AddFolder(Source());
    {
        LockedFile lock(Source(L"b.txt"));
        ASSERT_TRUE(RunBackup());
    }
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"b.txt"))));
    EXPECT_THAT(host.progress, ::testing::Contains(MemoryRunHost::Step{RunStep::CopyFailed,
                                                                       U16(Source(L"b.txt"))}));
    EXPECT_TRUE(results.copyFailed);
    EXPECT_EQ(host.Status(), u"Fehler beim kopieren !!");
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt", L"c.txt"));
    EXPECT_EQ(host.pumps, 3) << "messages are handled after every attempted copy";
    EXPECT_EQ(counts.bytesChecked, 3u) << "a failed copy is through as well";
}

TEST_F(BackupRunTest, LeavesAReadOnlyCopyAsItWas) {
    WriteTextFileWithTime(Source(L"a.txt"), "neu", 2025, 3, 1, 12, 0, 0);
    WriteTextFileWithTime(Target(L"a.txt"), "alt", 2025, 3, 1, 10, 0, 0);
    SetFileAttributesW(Target(L"a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    AddFolder(Source());

    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.txt"))));
    EXPECT_EQ(Text(Target(L"a.txt")), "alt");
    EXPECT_EQ(WriteTime(Target(L"a.txt")), std::make_tuple(2025, 3, 1, 10, 0, 0));
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt"));
}

TEST_F(BackupRunTest, RefusesEveryFileOnTheTargetDriveWithAMessageAndNothingElse) {
    WriteTextFile(Target(L"eigen\\a.txt"), "a");
    WriteTextFile(Target(L"eigen\\b.txt"), "b");
    WriteTextFile(Target(L"klein\\c.txt"), "c");
    std::wstring lowerCase = Target(L"klein");
    lowerCase[0] = static_cast<wchar_t>(lowerCase[0] | 0x20);
    AddFolder(Target(L"eigen"));
    AddFolder(lowerCase);

    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(host.refusals,
                ElementsAre(U16(Target(L"eigen\\a.txt")) + u" kann nicht gesichert werden !",
                            U16(Target(L"eigen\\b.txt")) + u" kann nicht gesichert werden !",
                            U16(lowerCase) + u"\\c.txt kann nicht gesichert werden !"));
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), u"OK");
    EXPECT_EQ(host.pumps, 0) << "nothing was copied";
    EXPECT_THAT(NamesIn(Target(L"eigen")), ElementsAre(L"a.txt", L"b.txt"));
}

TEST_F(BackupRunTest, TakesEntriesThatAreNoDrivePathForMissingFolders) {
    WriteTextFile(Source(L"Daten\\a.txt"), "a");
    const std::wstring work = MakeCleanFolder(Source(L"aktuell"));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(work.c_str());
    for (const char16_t* entry : {u"", u"Daten", u"\\\\server\\share\\Daten", u"\\Daten"})
        host.set.folders.Add(entry);
    AddFolder(Source(L"fehlt"));
    const bool ran = RunBackup();
    SetCurrentDirectoryW(previous);

    ASSERT_TRUE(ran);
    EXPECT_THAT(host.Problems(),
                ElementsAre(u"Nicht gefunden: ", u"Nicht gefunden: Daten",
                            u"Nicht gefunden: " + U16(Source(L"fehlt")), u"Nicht gefunden: \\Daten",
                            u"Nicht gefunden: \\\\server\\share\\Daten"));
    EXPECT_EQ(host.Status(), u"OK") << "a missing folder sets no flag";
    EXPECT_THAT(NamesIn(work), IsEmpty()) << "nothing is written into the current folder";
}

TEST_F(BackupRunTest, RefusesARunWithoutATargetDriveBeforeItsFirstStep) {
    WriteTextFile(Source(L"a.txt"), "a");
    AddFolder(Source());
    host.set.SetDriveIndex(BackupSet::kNoDrive);

    EXPECT_FALSE(RunBackup());
    EXPECT_EQ(host.busyBegins, 0);
    EXPECT_THAT(host.runLog, IsEmpty());
    EXPECT_THAT(host.progress, IsEmpty());
    EXPECT_FALSE(host.ended);
    EXPECT_THAT(host.selections, IsEmpty());
    EXPECT_FALSE(FileExists(LogFile()));
    EXPECT_THAT(NamesIn(Target()), IsEmpty());
}

TEST_F(BackupRunTest, WritesTheLogInTheAnsiCodePageAndShowsItSorted) {
    WriteTextFile(Source(L"a.txt"), "a");
    const std::wstring missing = Source(L"Gr\u00FC\u00DFe \u0141\u00F3d\u017A");
    AddFolder(Source());
    AddFolder(missing);

    ASSERT_TRUE(RunBackup());
    ASSERT_EQ(host.runLog.size(), 3u);
    const std::u16string date = host.runLog[2];
    // The test prefix sets the formats dd.MM.yyyy and HH:mm:ss.
    EXPECT_TRUE(
        std::regex_match(Narrow(date), std::regex(R"(\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)?)")))
        << Narrow(date);
    EXPECT_EQ(Text(LogFile()), "Nicht gefunden: " + Narrow(U16(Source())) +
                                   "\\Gr\xFC\xDF"
                                   "e L\xF3"
                                   "dz\r\nOK\r\n" +
                                   Narrow(date) + "\r\n")
        << "1252 with best fit: \u0141 becomes L, \u017A becomes z";
    EXPECT_THAT(host.fileList, ElementsAre(date, u"Nicht gefunden: " + U16(missing), u"OK"));

    // The next run replaces the file with its own lines only.
    host.set.folders.Clear();
    AddFolder(Source());
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(Text(LogFile()), "OK\r\n" + Narrow(host.runLog[1]) + "\r\n");
}

TEST_F(BackupRunTest, ShowsALogFileThatCannotBeCreatedAndStillEndsTheRun) {
    WriteTextFile(Source(L"a.txt"), "a");
    AddFolder(Source());
    const std::wstring dataDir = Source(L"fehlt\\");

    ASSERT_TRUE(RunBackup(fs, dataDir));
    ASSERT_EQ(host.logErrors.size(), 1u);
    EXPECT_EQ(host.logErrors[0], u"Datei \"" + U16(dataDir) +
                                     u"Kelvorin.log\" kann nicht erstellt werden. " +
                                     fs.ErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(host.busyEnds, 1) << "the wait cursor and the timer come back";
    EXPECT_EQ(host.fileList.size(), 2u) << "the log is shown";
    EXPECT_EQ(Text(Target(L"a.txt")), "a");
}

TEST_F(BackupRunTest, KeepsThePreviousCopyWhenTheTargetDriveIsFull) {
    SmallDriveLock lock;
    const std::wstring small = std::wstring(1, SmallDrive()) + L":\\" + FolderName();
    MakeCleanFolder(small);
    ASSERT_LE(fs.FreeBytesOnDrive(DriveLetter::FromLetter(SmallDrive())), 2 * 1024 * 1024)
        << "the small drive must be a 2 MB file system";
    const std::string oldCopy(1200 * 1024, 'o');
    WriteTextFileWithTime(small + L"\\gross.bin", oldCopy, 2025, 1, 1, 10, 0, 0);
    WriteTextFileWithTime(Source(L"gross.bin"), std::string(1200 * 1024, 'n'), 2025, 1, 2, 10, 0,
                          0);
    WriteTextFile(Source(L"neu.bin"), std::string(1000 * 1024, 'f'));
    WriteTextFile(Source(L"wenig.txt"), "passt");
    AddFolder(Source());
    host.set.SetDriveIndex(SmallDrive() - L'A');

    ASSERT_TRUE(RunBackup());
    const std::wstring smallCopy = small + L"\\gross.bin";
    EXPECT_TRUE(Text(smallCopy) == oldCopy) << "the previous copy survives whole";
    EXPECT_EQ(WriteTime(smallCopy), std::make_tuple(2025, 1, 1, 10, 0, 0));
    EXPECT_THAT(NamesIn(small), ElementsAre(L"gross.bin", L"wenig.txt"))
        << "no truncated or partial copy remains";
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"gross.bin")),
                                             kNotCopiedLine + U16(Source(L"neu.bin"))));
    RemoveTree(small);
}

TEST_F(BackupRunTest, ShowsALogFileThatCannotBeWrittenCompletely) {
    SmallDriveLock lock;
    const std::wstring small = std::wstring(1, SmallDrive()) + L":\\" + FolderName();
    MakeCleanFolder(small);
    // Fill the drive to the last byte.
    {
        OpenFile filler(fs, fs.CreateForWriting(U16(small + L"\\voll.bin"), Sharing::Exclusive));
        ASSERT_TRUE(filler.IsValid());
        const std::string block(64 * 1024, 'v');
        for (int i = 0; i < 64; ++i)
            if (fs.WriteChunk(filler.Get(), block.data(),
                              static_cast<std::int64_t>(block.size())) !=
                static_cast<std::int64_t>(block.size()))
                break;
        const std::string byte(1, 'v');
        while (fs.WriteChunk(filler.Get(), byte.data(), 1) == 1) {
        }
    }
    AddFolder(Source(L"fehlt"));

    const bool ran = RunBackup(fs, small + L"\\");
    RemoveTree(small);
    ASSERT_TRUE(ran);
    EXPECT_THAT(host.logErrors, ElementsAre(u"Stream-Schreibfehler"));
    EXPECT_EQ(host.busyEnds, 1);
    EXPECT_EQ(host.fileList.size(), 3u);
}

// Reads of the named files fail after the first chunk, as on a failing disk.
class FailingReads : public Win32FileServices {
public:
    explicit FailingReads(std::set<std::u16string> paths) : paths_(std::move(paths)) {}
    Handle OpenForReading(std::u16string_view path, Sharing sharing) override {
        const Handle h = Win32FileServices::OpenForReading(path, sharing);
        if (paths_.contains(std::u16string(path))) reads_[h] = 0;
        return h;
    }
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        const auto watched = reads_.find(h);
        if (watched != reads_.end() && watched->second++ > 0) return -1;
        return Win32FileServices::ReadChunk(h, buffer, n);
    }
    void CloseFileHandle(Handle h) override {
        reads_.erase(h); // the value may come back for another file
        Win32FileServices::CloseFileHandle(h);
    }

private:
    std::set<std::u16string> paths_;
    std::map<Handle, int> reads_;
};

TEST_F(BackupRunTest, TakesAFailedReadForAFailureAndKeepsThePreviousCopy) {
    WriteTextFileWithTime(Source(L"a.bin"), std::string(200 * 1024, 'n'), 2025, 1, 2, 10, 0, 0);
    WriteTextFileWithTime(Target(L"a.bin"), "alt", 2025, 1, 1, 10, 0, 0);
    WriteTextFile(Source(L"b.bin"), std::string(200 * 1024, 'n'));
    WriteTextFile(Source(L"c.bin"), std::string(200 * 1024, 'c'));
    AddFolder(Source());

    FailingReads failing({U16(Source(L"a.bin")), U16(Source(L"b.bin"))});
    ASSERT_TRUE(RunBackup(failing));
    EXPECT_EQ(Text(Target(L"a.bin")), "alt");
    EXPECT_EQ(WriteTime(Target(L"a.bin")), std::make_tuple(2025, 1, 1, 10, 0, 0));
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.bin", L"c.bin"))
        << "no copy of b.bin that would pass for current, no partial copy";
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.bin")),
                                             kNotCopiedLine + U16(Source(L"b.bin"))));
    EXPECT_EQ(host.Status(), u"Fehler beim kopieren !!");
    EXPECT_EQ(Text(Target(L"c.bin")), std::string(200 * 1024, 'c'));
}

TEST_F(BackupRunTest, StopsAtACloseRequestAndReportsTheCancel) {
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
        WriteTextFile(Source(name), "x");
    WriteTextFile(Source(L"zwei\\d.txt"), "x");
    WriteTextFile(Target(L"verwaist.txt"), "keine Quelle");
    AddFolder(Source());
    AddFolder(Source(L"zwei"));
    host.set.synchron = true;
    host.onPump = [this] { flags.cancelled = true; };

    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt", L"verwaist.txt"))
        << "nothing is copied or synchronised after the close request";
    EXPECT_EQ(host.pumps, 1);
    EXPECT_THAT(host.selections, ElementsAre(0u, 1u, 0u))
        << "the second folder's copies are skipped";
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), u"Abbruch");
    EXPECT_EQ(Text(LogFile()), "Abbruch\r\n" + Narrow(host.runLog.back()) + "\r\n");
    EXPECT_EQ(host.busyEnds, 1);
}

TEST_F(BackupRunTest, ReportsACopyFailureBeforeTheCancelAsTheStatus) {
    WriteTextFile(Source(L"a.txt"), "a");
    WriteTextFile(Source(L"b.txt"), "b");
    AddFolder(Source());
    host.onPump = [this] { flags.cancelled = true; };
    {
        LockedFile lock(Source(L"a.txt"));
        ASSERT_TRUE(RunBackup());
    }
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.txt"))));
    EXPECT_EQ(host.Status(), u"Fehler beim kopieren !!");
    EXPECT_THAT(NamesIn(Target()), IsEmpty());
}

TEST_F(BackupRunTest, EndsACopyAtACloseRequestBetweenItsChunksAndKeepsThePreviousCopy) {
    const std::string oldCopy = "alte Sicherung";
    WriteTextFileWithTime(Source(L"gross.bin"), std::string(3 * 1024 * 1024, 'n'), 2025, 1, 2, 10,
                          0, 0);
    WriteTextFileWithTime(Target(L"gross.bin"), oldCopy, 2025, 1, 1, 10, 0, 0);
    WriteTextFile(Source(L"klein.txt"), "klein");
    AddFolder(Source());
    int chunks = 0;
    // The store's pruning takes turns too, before the run has told any step.
    host.onKeepResponsive = [&] {
        if (!host.progress.empty() && host.progress.back().path == U16(Source(L"gross.bin")) &&
            ++chunks == 3)
            flags.cancelled = true;
    };

    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(chunks, 3) << "nothing more is copied";
    EXPECT_TRUE(Text(Target(L"gross.bin")) == oldCopy);
    EXPECT_EQ(WriteTime(Target(L"gross.bin")), std::make_tuple(2025, 1, 1, 10, 0, 0));
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"gross.bin")) << "no partial copy is left";
    EXPECT_THAT(host.Problems(), IsEmpty()) << "a cancelled copy is no failed copy";
    EXPECT_FALSE(results.copyFailed);
    EXPECT_THAT(host.progress,
                ::testing::Each(::testing::Field(&MemoryRunHost::Step::step,
                                                 ::testing::Ne(RunStep::CopyFailed))));
    EXPECT_EQ(Text(LogFile()), "Abbruch\r\n" + Narrow(host.runLog.back()) + "\r\n");
    EXPECT_EQ(counts.filesCopied, 0u);
}

TEST_F(BackupRunTest, StopsEachWalkAtACloseRequestWithoutDescendingFurther) {
    // Each walk first shows its folder; the close request comes with its first entry.
    struct Case {
        const char* walk;
        std::wstring root;
        int entered;    // the walk is the how-manieth one of its root
        int listsShown; // by the walks before
        bool copied, orphansDeleted;
    } const cases[] = {
        {"source walk", Source(L"Daten"), 1, 0, false, false},
        {"backup file walk", Target(L"Daten"), 1, 1, true, false},
        {"backup folder walk", Target(L"Daten"), 2, 2, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.walk);
        MakeCleanFolder(Source());
        MakeCleanFolder(Target());
        WriteTextFile(Source(L"Daten\\a.txt"), "a");
        WriteTextFile(Source(L"Daten\\Unter\\b.txt"), "b");
        WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
        WriteTextFile(Target(L"Daten\\Unter\\Weg.txt"), "weg");
        MakeCleanFolder(Target(L"Daten\\Leer"));
        host = MemoryRunHost();
        host.set.SetDriveIndex(TargetDrive() - L'A');
        host.set.synchron = true;
        AddFolder(Source(L"Daten"));
        flags.cancelled = false;
        int callsAtCancel = -1;
        host.onKeepResponsive = [&] {
            if (!flags.cancelled && std::count(host.progress.begin(), host.progress.end(),
                                               Entering(c.root)) == c.entered) {
                flags.cancelled = true;
                callsAtCancel = host.keepResponsiveCalls;
            }
        };

        ASSERT_TRUE(RunBackup());
        EXPECT_EQ(host.keepResponsiveCalls, callsAtCancel);
        ASSERT_FALSE(host.progress.empty());
        EXPECT_EQ(host.progress.back(), Entering(c.root))
            << "no subfolder is entered, nothing is copied";
        EXPECT_EQ(host.workListShows, c.listsShown) << "the list of a cancelled walk is not shown";
        EXPECT_EQ(FileExists(Target(L"Daten\\a.txt")), c.copied);
        EXPECT_EQ(FileExists(Target(L"Daten\\Unter\\b.txt")), c.copied);
        EXPECT_NE(FileExists(Target(L"Daten\\Weg.txt")), c.orphansDeleted);
        EXPECT_NE(FileExists(Target(L"Daten\\Unter\\Weg.txt")), c.orphansDeleted);
        EXPECT_TRUE(FolderExists(Target(L"Daten\\Leer")));
        EXPECT_THAT(host.Problems(), IsEmpty());
        EXPECT_EQ(host.Status(), u"Abbruch");
    }
}

// Counts the questions a run asks about paths below one folder, and about
// any file's stamp.
class CountingLookUps : public ForwardingFileServices {
public:
    CountingLookUps(FileServices& inner, std::u16string below)
        : ForwardingFileServices(inner), below_(std::move(below)) {}
    std::optional<FileFacts> ExistingFile(std::u16string_view path) override {
        if (path.starts_with(below_)) ++fileLookUps[std::u16string(path)];
        return ForwardingFileServices::ExistingFile(path);
    }
    PathInfo LookUp(std::u16string_view path) override {
        if (path.starts_with(below_)) ++otherLookUps;
        return ForwardingFileServices::LookUp(path);
    }
    DosStamp GetFileStamp(std::u16string_view path) override {
        ++stampQuestions;
        return ForwardingFileServices::GetFileStamp(path);
    }

    std::map<std::u16string, int> fileLookUps;
    int otherLookUps = 0;
    int stampQuestions = 0;

private:
    std::u16string below_;
};

// The least a run where nothing changed can do: one look-up of each copy,
// the source's stamp taken from the walk's listing. In the second folder a
// file follows a subfolder's in the list, but not in the listing.
TEST_F(BackupRunTest, ARunWhereNothingChangedLooksUpEachCopyOnceAndAsksNoSource) {
    const std::vector<std::wstring> files = {L"Brief.txt", L"a\\x.txt", L"a\\z.txt",
                                             L"a\\b\\y.txt"};
    for (const std::wstring& file : files)
        WriteTextFile(Source(file), Narrow(U16(file)));
    AddFolder(Source());
    ASSERT_TRUE(RunBackup());
    ASSERT_EQ(counts.filesCopied, files.size());

    CountingLookUps counting(fs, U16(Target()) + u'\\');
    ASSERT_TRUE(RunBackup(counting));
    EXPECT_EQ(counts.filesChecked, files.size());
    EXPECT_EQ(counts.filesCopied, 0u);
    std::map<std::u16string, int> once;
    for (const std::wstring& file : files)
        once[U16(Target(file))] = 1;
    EXPECT_EQ(counting.fileLookUps, once);
    EXPECT_EQ(counting.otherLookUps, 0) << "a copy found shows its folder there";
    EXPECT_EQ(counting.stampQuestions, 0) << "the listing told every source's stamp";
    EXPECT_THAT(host.Problems(), IsEmpty());
}

// Notes the reads of copies, the deletions and the removals.
class RecordingFiles : public ForwardingFileServices {
public:
    RecordingFiles(FileServices& inner, std::function<void(const char*)> note)
        : ForwardingFileServices(inner), note_(std::move(note)) {}
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        note_("read");
        return ForwardingFileServices::ReadChunk(h, buffer, n);
    }
    bool DeleteOneFile(std::u16string_view path) override {
        note_("delete");
        return ForwardingFileServices::DeleteOneFile(path);
    }
    // With versions an orphan leaves the backup by a move into the store; the
    // run's listing gets its name there too.
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override {
        if (target.find(u".Kelvorin-Versionen") != std::u16string_view::npos &&
            !source.ends_with(kPartialCopyTail))
            note_("delete");
        return ForwardingFileServices::RenameWithoutReplacing(source, target);
    }
    bool RemoveOneFolder(std::u16string_view path) override {
        note_("remove");
        return ForwardingFileServices::RemoveOneFolder(path);
    }

private:
    std::function<void(const char*)> note_;
};

TEST_F(BackupRunTest, KeepsTheWindowResponsiveInEveryLongStepAndShowsEachCompleteList) {
    WriteTextFile(Source(L"a.txt"), "a");
    WriteTextFile(Source(L"gross.bin"), std::string(3 * 0x10000 + 100, 'g')); // four chunks
    WriteTextFile(Target(L"weg.txt"), "weg");
    MakeCleanFolder(Target(L"leer"));
    AddFolder(Source());
    host.set.synchron = true;
    // A walk's calls depend on the entries it meets: a run of them is noted once.
    std::string steps;
    const auto note = [&](const char* step) {
        if (!(steps.ends_with(" keep") && std::string_view(step) == "keep"))
            steps += std::string(" ") + step;
    };
    std::vector<std::vector<std::u16string>> shown;
    host.onKeepResponsive = [&] { note("keep"); };
    host.onPump = [&] { note("pump"); };
    host.onShowWorkList = [&] {
        note("show");
        shown.push_back(host.workList.Items());
    };
    RecordingFiles recording(fs, note);

    ASSERT_TRUE(RunBackup(recording));
    EXPECT_EQ(steps, " keep show"                                              // source walk
                     " keep read keep read pump"                               // a.txt
                     " keep read keep read keep read keep read keep read pump" // gross.bin
                     " keep show keep delete"                                  // file pass
                     " keep show keep remove");                                // folder pass
    const std::u16string source = U16(Source()), target = U16(Target());
    EXPECT_THAT(shown, ElementsAre(ElementsAre(source + u"\\a.txt", source + u"\\gross.bin"),
                                   ElementsAre(target + u"\\a.txt", target + u"\\gross.bin",
                                               target + u"\\weg.txt"),
                                   ElementsAre(target + u"\\leer")));
    EXPECT_EQ(host.Status(), u"OK");
}

TEST_F(BackupRunTest, BacksUpAPathOfThreeHundredCharacters) {
    std::wstring relative = L"Ebene";
    while (Source(relative).size() < 290)
        relative += L"\\Unterordner";
    relative += L"\\Brief.txt";
    const std::wstring source = Source(relative);
    ASSERT_GE(source.size(), 300u);
    ASSERT_TRUE(fs.MakeFolderChain(U16(source.substr(0, source.rfind(L'\\')))));
    {
        OpenFile out(fs, fs.CreateForWriting(U16(source), Sharing::Exclusive));
        ASSERT_TRUE(out.IsValid());
        ASSERT_EQ(fs.WriteChunk(out.Get(), "tief", 4), 4);
    }
    AddFolder(Source());

    ASSERT_TRUE(RunBackup());
    const std::wstring copy = Target(relative);
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(fs.GetFileStamp(U16(copy)), fs.GetFileStamp(U16(source)));
    {
        OpenFile in(fs, fs.OpenForReading(U16(copy), Sharing::Exclusive));
        ASSERT_TRUE(in.IsValid());
        char buffer[16];
        EXPECT_EQ(fs.ReadChunk(in.Get(), buffer, sizeof buffer), 4);
        EXPECT_EQ(std::string(buffer, 4), "tief");
    }
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(counts.filesCopied, 0u) << "the copy counts as current";

    // The scratch helpers stop at the classic limit: take the deep trees down here.
    for (const std::wstring& file : {source, copy}) {
        fs.DeleteOneFile(U16(file));
        for (std::wstring f = file.substr(0, file.rfind(L'\\')); f.size() > Source().size();
             f.resize(f.rfind(L'\\')))
            fs.RemoveOneFolder(U16(f));
    }
}

TEST_F(BackupRunTest, ReusesALeftoverPartialCopyButNeverTheCopyOfAnotherFile) {
    const std::wstring partialName = L"a.txt" + Wide(kPartialCopyTail);
    WriteTextFile(Source(L"a.txt"), "a");
    WriteTextFile(Target(partialName), "Rest eines abgebrochenen Laufs");
    WriteTextFileWithTime(Source(L"b.txt"), "b", 2025, 1, 1, 10, 0, 0);
    const std::wstring lookalike = L"b.txt" + Wide(kPartialCopyTail);
    WriteTextFile(Source(lookalike), "eigene Datei");
    AddFolder(Source());

    ASSERT_TRUE(RunBackup());
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt", L"b.txt", lookalike));
    EXPECT_EQ(Text(Target(L"a.txt")), "a");

    WriteTextFileWithTime(Source(L"b.txt"), "b, neu", 2025, 1, 1, 12, 0, 0);
    ASSERT_TRUE(RunBackup());
    EXPECT_EQ(counts.filesCopied, 1u);
    EXPECT_EQ(Text(Target(L"b.txt")), "b, neu");
    EXPECT_EQ(Text(Target(lookalike)), "eigene Datei") << "the other file's copy is untouched";
    EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt", L"b.txt", lookalike));
}

// Names the walk knows of only when it looks beyond the files it copies and
// beyond letter case; each keeps its copy while b.txt is renewed beside it.
TEST_F(BackupRunTest, NeverWritesAPartialCopyOverTheCopyOfALookalikeOfAnyKind) {
    struct Lookalike {
        const wchar_t* name;
        bool folder;
        bool excluded; // its "copy" is a file of the user's on the target
    };
    const Lookalike cases[] = {
        {L"B.TXT~KELVORIN-TEILKOPIE.TMP", false, false},
        {L"b.txt~Kelvorin-Teilkopie.tmp", false, true},
        {L"b.txt~kelvorin-teilkopie.tmp", true, false},
    };
    int n = 0;
    for (const Lookalike& c : cases) {
        const std::wstring folder = L"Fall" + std::to_wstring(++n) + L"\\";
        const std::wstring lookalike = folder + c.name;
        SCOPED_TRACE(Narrow(U16(lookalike)));
        host.set.folders.Clear();
        host.set.exclusions.clear();
        if (c.excluded) host.set.exclusions.push_back(u"tmp");
        AddFolder(Source(folder.substr(0, folder.size() - 1)));
        WriteTextFileWithTime(Source(folder + L"b.txt"), "b", 2025, 1, 1, 10, 0, 0);
        const std::wstring own = c.folder ? lookalike + L"\\innen.txt" : lookalike;
        WriteTextFile(Source(own), "eigene Datei");
        if (c.excluded) WriteTextFile(Target(own), "eigene Datei");

        ASSERT_TRUE(RunBackup());
        WriteTextFileWithTime(Source(folder + L"b.txt"), "b, neu", 2025, 1, 1, 12, 0, 0);
        ASSERT_TRUE(RunBackup());

        EXPECT_EQ(Text(Target(folder + L"b.txt")), "b, neu");
        EXPECT_EQ(Text(Target(own)), "eigene Datei") << "the lookalike's copy is untouched";
        std::vector<std::wstring> expected = {L"b.txt", c.name};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(NamesIn(Target(folder.substr(0, folder.size() - 1))), expected)
            << "no partial copy is left";
        EXPECT_THAT(host.Problems(), IsEmpty());
    }
}

// Only the host can make two names of a folder that differ in letter case
// alone. The target takes them for one: the first in the list keeps the copy,
// the other is reported, and Synchron takes no copy for an orphan because of it.
TEST_F(BackupRunTest, ReportsCaseTwinsAndBacksUpTheFirstAlone) {
    WriteTextFile(Source(L"Neu\\x.txt"), "x");
    const std::string neu = "'" + HostPath(Source(L"Neu")) + "/";
    StartHostShell("printf erst >" + neu + "A.TXT' && touch -d '2025-01-01 10:00' " + neu +
                   "A.TXT' && printf zweit >" + neu + "a.txt' && touch -d '2025-01-01 12:00' " +
                   neu + "a.txt' && touch '" + HostPath(Source()) + "/fertig'");
    for (int i = 0; i < 200 && !FileExists(Source(L"fertig")); ++i)
        Sleep(25);
    ASSERT_EQ(NamesIn(Source(L"Neu")).size(), 3u) << "the host made the twins";
    AddFolder(Source(L"Neu"));

    for (const bool synchron : {false, true}) {
        SCOPED_TRACE(synchron);
        host.set.synchron = synchron;
        ASSERT_TRUE(RunBackup());
        EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"Neu\\a.txt"))));
        EXPECT_EQ(host.Status(), u"Fehler beim kopieren !!");
        EXPECT_EQ(Text(Target(L"Neu\\A.TXT")), "erst") << "the later twin never replaces it";
        EXPECT_EQ(Text(Target(L"Neu\\x.txt")), "x");
        EXPECT_EQ(counts.filesDeleted, 0u);
    }
}

// A source that knows names only as they are spelled, as a case-sensitive
// folder of Windows does; Wine finds any spelling.
class CaseSensitiveSource : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    PathInfo LookUp(std::u16string_view path) override {
        const std::size_t slash = path.rfind(u'\\');
        if (path[0] != kSourceDrive || slash == std::u16string_view::npos)
            return ForwardingFileServices::LookUp(path);
        bool spelled = false;
        ListFolder(std::u16string(path.substr(0, slash)) + u"\\*.*", [&](const FolderEntry& e) {
            spelled = spelled || e.name == path.substr(slash + 1);
        });
        if (!spelled) return {PathState::Missing, kNoAttributes};
        return ForwardingFileServices::LookUp(path);
    }
    static constexpr char16_t kSourceDrive = u'S';
};

// The stick's copy bears a third spelling of two twins: Synchron finds no
// source of that spelling, but the copy stands for the first twin and stays.
TEST_F(BackupRunTest, SynchronKeepsTheCopyThatStandsForACaseTwin) {
    WriteTextFile(Source(L"Neu\\x.txt"), "x");
    const std::string neu = "'" + HostPath(Source(L"Neu")) + "/";
    StartHostShell("printf erst >" + neu + "A.TXT' && touch -d '2025-01-01 10:00' " + neu +
                   "A.TXT' && printf zweit >" + neu + "a.txt' && touch '" + HostPath(Source()) +
                   "/fertig'");
    for (int i = 0; i < 200 && !FileExists(Source(L"fertig")); ++i)
        Sleep(25);
    ASSERT_EQ(NamesIn(Source(L"Neu")).size(), 3u) << "the host made the twins";
    WriteTextFileWithTime(Target(L"Neu\\a.Txt"), "erst", 2025, 1, 1, 10, 0, 0);
    AddFolder(Source(L"Neu"));
    host.set.synchron = true;
    host.set.versionDays = 0;

    CaseSensitiveSource files(fs);
    ASSERT_TRUE(RunBackup(files));
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"Neu\\a.txt"))));
    EXPECT_EQ(counts.filesDeleted, 0u);
    EXPECT_EQ(Text(Target(L"Neu\\a.Txt")), "erst");
}

} // namespace
} // namespace kelvorin::testing
