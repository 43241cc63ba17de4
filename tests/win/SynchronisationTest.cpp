// The file pass and the folder pass of "Synchron", run as part of a whole
// backup run on the scratch drives.
#include "engine/BackupRun.h"
#include "engine/CopyRules.h"
#include "engine/Paths.h"
#include "engine/Texts.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

namespace kelvorin::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

void MakeFolder(const std::wstring& path) {
    WriteTextFile(path + L"\\x", "");
    DeleteFileW((path + L"\\x").c_str());
}

class Synchronisation : public RunOnDrivesTest {
protected:
    void SetUp() override {
        RunOnDrivesTest::SetUp();
        host.set.synchron = true;
    }

    std::u16string AddFolder(const std::wstring& path) {
        host.set.folders.Add(U16(path));
        return U16(path);
    }
    // A folder of the set that is there with nothing in it: its backup holds only orphans.
    void AddEmptyFolder(const std::wstring& path) {
        AddFolder(path);
        MakeFolder(path);
    }

    // Every run here runs, and ends with its status and date lines.
    void RunBackup(FileServices& files) {
        ASSERT_TRUE(RunOnDrivesTest::RunBackup(files));
        ASSERT_GE(host.runLog.size(), 2u);
    }
    void RunBackup() { RunBackup(fs); }

    static std::u16string NotDeleted(const std::wstring& path) {
        return kNotDeletedLine + U16(path);
    }
};

void AddAttributes(const std::wstring& path, DWORD attributes) {
    SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | attributes);
}

TEST_F(Synchronisation, DeletesBackupFilesWhoseSourceIsGoneAndEmptiedFolders) {
    AddFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Daten\\Bleibt.txt"), "bleibt");
    WriteTextFile(Source(L"Daten\\b.txt"), "umbenannt"); // was a.txt
    WriteTextFile(Source(L"Daten\\Unter\\Neu.txt"), "neu");
    WriteTextFile(Target(L"Daten\\Bleibt.txt"), "bleibt");
    WriteTextFile(Target(L"Daten\\a.txt"), "umbenannt");
    WriteTextFile(Target(L"Daten\\desktop.ini"), "[alt]");
    AddAttributes(Target(L"Daten\\desktop.ini"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteTextFile(Target(L"Daten\\Unter\\Weg.txt"), "weg");
    WriteTextFile(Target(L"Daten\\Alt\\Tief\\Weg.txt"), "weg");
    // An interrupted copy of a file that has since gone from the source.
    const std::wstring partial = Wide(PartialCopyPath(U16(Target(L"Daten\\Mappe.xlsx")), 0));
    WriteTextFile(partial, "halb");

    RunBackup();

    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), kStatusOk);
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\Bleibt.txt")), "bleibt");
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\b.txt")), "umbenannt");
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\Unter\\Neu.txt")), "neu");
    EXPECT_FALSE(FileExists(Target(L"Daten\\a.txt")));
    EXPECT_FALSE(FileExists(Target(L"Daten\\desktop.ini")));
    EXPECT_FALSE(FileExists(Target(L"Daten\\Unter\\Weg.txt")));
    EXPECT_FALSE(FileExists(partial));
    EXPECT_FALSE(FolderExists(Target(L"Daten\\Alt"))) << "Alt\\Tief should go in one run";
    EXPECT_TRUE(FolderExists(Target(L"Daten\\Unter")));
    EXPECT_FALSE(results.deleteFailed);
    EXPECT_EQ(counts.filesDeleted, 5u);
    EXPECT_EQ(counts.foldersRemoved, 2u);
}

TEST_F(Synchronisation, ConsidersExcludedTypesLikeAnyOtherFile) {
    AddFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Daten\\Brief.bak"), "quelle");
    WriteTextFile(Target(L"Daten\\Brief.bak"), "sicherung");
    WriteTextFile(Target(L"Daten\\Alt.bak"), "sicherung");

    RunBackup();

    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\Brief.bak")), "sicherung");
    EXPECT_FALSE(FileExists(Target(L"Daten\\Alt.bak")));
}

TEST_F(Synchronisation, NeverEntersNorRemovesFoldersWhoseNameBeginsWithADot) {
    AddEmptyFolder(Source(L"Daten"));
    WriteTextFile(Target(L"Daten\\.git\\config"), "ohne Quelle");
    MakeFolder(Target(L"Daten\\.cache"));
    WriteTextFile(Target(L"Daten\\Projekt\\.git\\HEAD"), "ohne Quelle");
    MakeFolder(Target(L"Daten\\Leer"));

    RunBackup();

    EXPECT_TRUE(FileExists(Target(L"Daten\\.git\\config")));
    EXPECT_TRUE(FolderExists(Target(L"Daten\\.cache")));
    EXPECT_TRUE(FileExists(Target(L"Daten\\Projekt\\.git\\HEAD")));
    EXPECT_FALSE(FolderExists(Target(L"Daten\\Leer")));
}

TEST_F(Synchronisation, RemovesAChainOfEmptyFoldersButNotTheTopBackupFolder) {
    AddEmptyFolder(Source(L"Daten"));
    MakeFolder(Target(L"Daten\\a\\b\\c"));

    RunBackup();

    EXPECT_FALSE(FolderExists(Target(L"Daten\\a")));
    EXPECT_TRUE(FolderExists(Target(L"Daten")));
    EXPECT_THAT(host.Problems(), IsEmpty());
}

TEST_F(Synchronisation, ReportsABackupFileThatCannotBeDeletedAndKeepsItsFolders) {
    AddEmptyFolder(Source(L"Daten"));
    const std::wstring readOnly = Target(L"Daten\\x\\y\\Schreibgeschützt.txt");
    WriteTextFile(readOnly, "alt");
    AddAttributes(readOnly, FILE_ATTRIBUTE_READONLY);

    RunBackup();

    EXPECT_TRUE(FileExists(readOnly));
    EXPECT_THAT(host.Problems(), ElementsAre(NotDeleted(readOnly)));
    EXPECT_EQ(host.Status(), kStatusDeleteFailed);
    EXPECT_TRUE(results.deleteFailed);
    // Each walk tells the folders it enters; the failure comes in between.
    using Step = MemoryRunHost::Step;
    const std::u16string daten = U16(Target(L"Daten")), x = daten + u"\\x", y = x + u"\\y";
    const auto entering = [](const std::u16string& folder) {
        return Step{RunStep::EnteringFolder, folder};
    };
    ASSERT_GE(host.progress.size(), 7u);
    const std::vector<Step> tail(host.progress.end() - 7, host.progress.end());
    EXPECT_THAT(tail, ElementsAre(entering(daten), entering(x), entering(y),
                                  Step{RunStep::NotDeleted, U16(readOnly)}, entering(daten),
                                  entering(x), entering(y)));
    EXPECT_EQ(host.ended, RunStatus::DeleteFailed);
    EXPECT_EQ(host.pumps, 0) << "nothing was copied, so no message may have been handled";
}

// Records which paths were looked up and which folders listed.
class RecordingProbes : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    PathInfo LookUp(std::u16string_view path) override {
        probes.emplace_back(path);
        return ForwardingFileServices::LookUp(path);
    }
    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override {
        listings.emplace_back(pattern);
        return ForwardingFileServices::ListFolder(pattern, visit);
    }
    std::vector<std::u16string> probes, listings;
};

TEST_F(Synchronisation, LooksUpSourcesWithTheDriveLetterAsWritten) {
    std::u16string entry = U16(Source(L"Daten"));
    entry[0] = static_cast<char16_t>(entry[0] | 0x20);
    host.set.folders.Add(entry);
    WriteTextFile(Source(L"Daten\\Bleibt.txt"), "bleibt");
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    RecordingProbes probing(fs);

    RunBackup(probing);

    EXPECT_TRUE(FileExists(Target(L"Daten\\Bleibt.txt")));
    EXPECT_FALSE(FileExists(Target(L"Daten\\Weg.txt")));
    EXPECT_THAT(probing.probes, Contains(entry + u"\\Weg.txt"));
}

// The copy pass has just listed every source file: the file pass asks the
// source only about a backup it did not see, and the folder pass lists no
// folder of the backup a second time.
TEST_F(Synchronisation, AsksOnlyAboutBackupsWhoseSourceTheCopyPassDidNotList) {
    AddFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Daten\\Bleibt.txt"), "bleibt");
    WriteTextFile(Source(L"Daten\\Sub\\Auch.txt"), "auch");
    RunBackup();
    WriteTextFile(Target(L"Daten\\Sub\\Weg.txt"), "weg");
    MakeFolder(Target(L"Daten\\Leer"));
    RecordingProbes probing(fs);

    RunBackup(probing);

    EXPECT_FALSE(FileExists(Target(L"Daten\\Sub\\Weg.txt")));
    EXPECT_FALSE(FolderExists(Target(L"Daten\\Leer")));
    EXPECT_TRUE(FileExists(Target(L"Daten\\Sub\\Auch.txt")));
    const std::u16string source = U16(Source(L"Daten")), backup = U16(Target(L"Daten"));
    std::vector<std::u16string> sourceProbes, backupListings;
    for (const std::u16string& probe : probing.probes)
        if (probe.starts_with(source + u"\\")) sourceProbes.push_back(probe);
    for (const std::u16string& listing : probing.listings)
        if (listing.starts_with(backup + u"\\")) backupListings.push_back(listing);
    EXPECT_THAT(sourceProbes, ElementsAre(source + u"\\Sub\\Weg.txt"));
    EXPECT_THAT(backupListings, UnorderedElementsAre(backup + u"\\*.*", backup + u"\\Leer\\*.*",
                                                     backup + u"\\Sub\\*.*"));
}

// The backup folder of such a folder is the folder itself: its files all have
// their source, but its empty subfolders must not go either.
TEST_F(Synchronisation, LeavesAFolderOfTheSetOnTheTargetDriveAlone) {
    for (const std::wstring name : {L"Gross", L"klein"}) {
        WriteTextFile(Target(name + L"\\Datei.txt"), "eigen");
        MakeFolder(Target(name + L"\\Leer"));
    }
    AddFolder(Target(L"Gross"));
    std::u16string lower = U16(Target(L"klein"));
    lower[0] = static_cast<char16_t>(lower[0] | 0x20);
    host.set.folders.Add(lower);

    RunBackup();

    for (const std::wstring name : {L"Gross", L"klein"}) {
        EXPECT_TRUE(FileExists(Target(name + L"\\Datei.txt"))) << name;
        EXPECT_TRUE(FolderExists(Target(name + L"\\Leer"))) << name;
    }
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.refusals.size(), 2u) << "the copy pass refuses each file";
}

TEST_F(Synchronisation, DoesNothingForASourceFolderWithoutBackupFolder) {
    AddFolder(Source(L"Daten"));
    MakeFolder(Source(L"Daten\\Leer"));

    RunBackup();

    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), kStatusOk);
    EXPECT_FALSE(FolderExists(Target(L"Daten")));
}

TEST_F(Synchronisation, DeletesNothingWhenTheFlagIsCleared) {
    host.set.synchron = false;
    AddEmptyFolder(Source(L"Daten"));
    AddFolder(Source(L"Fehlt"));
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    MakeFolder(Target(L"Daten\\Leer"));

    RunBackup();

    EXPECT_TRUE(FileExists(Target(L"Daten\\Weg.txt")));
    EXPECT_TRUE(FolderExists(Target(L"Daten\\Leer")));
    EXPECT_THAT(host.Problems(), ElementsAre(kNotFoundLine + U16(Source(L"Fehlt"))));
}

TEST_F(Synchronisation, SkipsEveryFolderOnceTheRunIsCancelled) {
    AddFolder(Source(L"Daten"));
    AddFolder(Source(L"Fehlt"));
    WriteTextFile(Source(L"Daten\\Neu.txt"), "neu");
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    MakeFolder(Target(L"Daten\\Leer"));
    host.onPump = [this] { flags.cancelled = true; };

    RunBackup();

    EXPECT_TRUE(FileExists(Target(L"Daten\\Weg.txt")));
    EXPECT_TRUE(FolderExists(Target(L"Daten\\Leer")));
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(host.Status(), kStatusCancelled);
}

// A source that exists but cannot be looked at (no access, not ready, in use)
// is not known to be gone. Running as root, no such source can be made here.
class UnreadableSource : public ForwardingFileServices {
public:
    UnreadableSource(FileServices& inner, std::u16string path)
        : ForwardingFileServices(inner), path_(std::move(path)) {}
    PathInfo LookUp(std::u16string_view path) override {
        if (path == path_) return {PathState::Unknown, kNoAttributes};
        return ForwardingFileServices::LookUp(path);
    }

private:
    std::u16string path_;
};

TEST_F(Synchronisation, KeepsTheBackupOfASourceThatCannotBeExamined) {
    AddEmptyFolder(Source(L"Daten"));
    WriteTextFile(Target(L"Daten\\Gesperrt.txt"), "bleibt");
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    UnreadableSource unreadable(fs, U16(Source(L"Daten\\Gesperrt.txt")));

    RunBackup(unreadable);

    EXPECT_TRUE(FileExists(Target(L"Daten\\Gesperrt.txt")));
    EXPECT_FALSE(FileExists(Target(L"Daten\\Weg.txt")));
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_FALSE(results.deleteFailed);
}

// Pulls a drive out as soon as the file pass enters a given folder, after the
// pass has found the set's folder present.
class UnplugOnEntering : public MemoryRunHost {
public:
    UnplugOnEntering(ExtraDrive& drive, std::u16string folder)
        : drive_(drive), folder_(std::move(folder)) {}
    void Progressed(const RunProgress& p) override {
        MemoryRunHost::Progressed(p);
        if (!unplugged && p.step == RunStep::EnteringFolder && p.path == folder_) {
            drive_.Unplug();
            unplugged = true;
        }
    }
    bool unplugged = false;

private:
    ExtraDrive& drive_;
    std::u16string folder_;
};

TEST_F(Synchronisation, DeletesNothingWhenTheSourceDriveVanishesDuringThePass) {
    ExtraDrive stick(L'Q');
    const std::wstring source = stick.Path(FolderName() + L"\\Daten");
    WriteTextFile(source + L"\\Bleibt.txt", "bleibt");
    WriteTextFile(Target(L"Daten\\Bleibt.txt"), "bleibt");
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    MakeFolder(Target(L"Daten\\Leer"));
    UnplugOnEntering unplugging(stick, U16(Target(L"Daten")));
    unplugging.set.SetDriveIndex(TargetDrive() - L'A');
    unplugging.set.synchron = true;
    unplugging.set.folders.Add(U16(source));

    BackupRun run(unplugging, {fs, codePage, clock}, flags, U16(DataDir()));
    ASSERT_TRUE(run.Run());

    ASSERT_TRUE(unplugging.unplugged);
    EXPECT_TRUE(FileExists(Target(L"Daten\\Bleibt.txt")));
    EXPECT_TRUE(FileExists(Target(L"Daten\\Weg.txt")));
    EXPECT_TRUE(FolderExists(Target(L"Daten\\Leer")));
    // The folder pass finds the folder missing.
    EXPECT_THAT(unplugging.runLog, Contains(NotDeleted(Target(L"Daten"))));
    EXPECT_FALSE(run.Results().deleteFailed);
}

TEST_F(Synchronisation, LeavesLinksToFoldersAlone) {
    AddEmptyFolder(Source(L"Daten"));
    WriteTextFile(Target(L"Anderswo\\Weg.txt"), "ohne Quelle");
    MakeFolder(Target(L"Anderswo\\Leer"));
    WriteTextFile(Target(L"Daten\\Weg.txt"), "weg");
    const HostLink link(Target(L"Daten\\Verweis"), Target(L"Anderswo"));

    RunBackup();

    EXPECT_TRUE(FileExists(Target(L"Anderswo\\Weg.txt")));
    EXPECT_TRUE(FolderExists(Target(L"Anderswo\\Leer")));
    EXPECT_TRUE(GetFileAttributesW(Target(L"Daten\\Verweis").c_str()) &
                FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_FALSE(FileExists(Target(L"Daten\\Weg.txt")));
}

// Restores the current folder, which the relative entry below is read against.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& path) {
        wchar_t previous[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, previous);
        previous_ = previous;
        SetCurrentDirectoryW(path.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }

private:
    std::wstring previous_;
};

TEST_F(Synchronisation, TreatsEntriesThatAreNoDrivePathAsMissing) {
    // Read against the current folder, "Daten" would exist and its backup
    // "Taten" (the first letter exchanged) would lose its file and folder.
    const CurrentFolder current(Source());
    MakeFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Taten\\Weg.txt"), "weg");
    MakeFolder(Source(L"Taten\\Leer"));
    for (const char16_t* entry : {u"", u"Daten", u"\\\\nas\\daten"})
        host.set.folders.Add(entry);

    RunBackup();

    EXPECT_TRUE(FileExists(Source(L"Taten\\Weg.txt")));
    EXPECT_TRUE(FolderExists(Source(L"Taten\\Leer")));
    std::vector<std::u16string> expected;
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& entry : host.set.folders.Items())
            expected.push_back(kNotDeletedLine +
                               BackupPathOf(entry, DriveLetter::FromLetter(TargetDrive())));
    std::vector<std::u16string> notDeleted;
    std::copy_if(host.runLog.begin(), host.runLog.end(), std::back_inserter(notDeleted),
                 [](const std::u16string& l) { return l.starts_with(kNotDeletedLine); });
    EXPECT_EQ(notDeleted, expected);
    EXPECT_EQ(notDeleted.front(), kNotDeletedLine) << "the empty entry";
    EXPECT_EQ(host.Status(), kStatusOk);
}

TEST_F(Synchronisation, DeletesABackupFileWhoseSourceBecameAFolderAndCopiesItNextRun) {
    AddFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Daten\\Notizen\\Eins.txt"), "eins");
    WriteTextFile(Target(L"Daten\\Notizen"), "war eine Datei");

    RunBackup();

    EXPECT_THAT(host.Problems(),
                ElementsAre(kNotCopiedLine + U16(Source(L"Daten\\Notizen\\Eins.txt"))));
    EXPECT_EQ(host.Status(), kStatusCopyFailed);
    EXPECT_FALSE(FileExists(Target(L"Daten\\Notizen")));

    RunBackup();

    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(ReadWholeFile(Target(L"Daten\\Notizen\\Eins.txt")), "eins");
}

// A missing folder with "Synchron": one line in the copy pass, one in each
// synchronisation pass, in the order the passes run.
TEST_F(Synchronisation, WritesTheLogOfAMissingFolderLineByLine) {
    AddFolder(Source(L"Alt"));
    AddFolder(Source(L"Daten"));
    WriteTextFile(Source(L"Daten\\Mappe.xlsx"), "gesperrt");
    const LockedFile locked(Source(L"Daten\\Mappe.xlsx"));

    RunBackup();

    const std::string log = ReadWholeFile(LogFile());
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(log.substr(start, end - start));
    ASSERT_EQ(lines.size(), 6u) << log;
    EXPECT_EQ(lines[0], codePage.Encode(kNotFoundLine + U16(Source(L"Alt"))));
    EXPECT_EQ(lines[1], codePage.Encode(kNotCopiedLine + U16(Source(L"Daten\\Mappe.xlsx"))));
    EXPECT_EQ(lines[2], codePage.Encode(NotDeleted(Target(L"Alt"))));
    EXPECT_EQ(lines[3], codePage.Encode(NotDeleted(Target(L"Alt"))));
    EXPECT_EQ(lines[4], codePage.Encode(kStatusCopyFailed));
    EXPECT_TRUE(!lines[5].empty() && lines[5][0] >= '0' && lines[5][0] <= '9') << lines[5];
    EXPECT_TRUE(log.ends_with("\r\n"));
}

} // namespace
} // namespace kelvorin::testing
