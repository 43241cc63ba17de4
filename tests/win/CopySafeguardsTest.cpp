// What the copy step does about a file held for a moment by another program,
// a stamp the volume does not keep, and a file too large for a FAT target.
#include "engine/BackupRun.h"
#include "engine/Texts.h"
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/MemoryRunHost.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/ProgramDriver.h"
#include "tests/support/win32/RunOnDrives.h"
#include "tests/support/win32/ScratchDrives.h"
#include "win32/Handles.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The locker program holding a file from a process of its own; ended with
// the object, so a failed test leaves no holder behind.
class Locker {
public:
    Locker(const std::wstring& path, int milliseconds) {
        std::wstring line = L"\"" + WinePathOfHostFile(KELVORIN_LOCKER_EXE) + L"\" \"" + path +
                            L"\" " + std::to_wstring(milliseconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            throw std::runtime_error("cannot start the locker");
        const UniqueKernelObject thread(process.hThread);
        process_.reset(process.hProcess);
        // Held once an exclusive open of our own is refused. A Wine process
        // can take seconds to start on a loaded machine.
        for (int i = 0; i < 3000; ++i) {
            {
                // Closed before the wait, or the locker would find the file held by us.
                const UniqueFile probe(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
                if (!probe && GetLastError() == ERROR_SHARING_VIOLATION) return;
            }
            Sleep(5);
        }
        TerminateProcess(process_.get(), 1);
        throw std::runtime_error("the locker did not take the file");
    }
    Locker(const Locker&) = delete;
    Locker& operator=(const Locker&) = delete;
    ~Locker() {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }

private:
    UniqueKernelObject process_;
};

class CopySafeguardsTest : public RunOnDrivesTest {
protected:
    void SetUp() override {
        RunOnDrivesTest::SetUp();
        host.set.folders.Add(U16(Source()));
    }

    // A previous copy "alt" from 10:00 and a changed source "neu" from 12:00.
    void ChangedSourceOverPreviousCopy(const wchar_t* name) {
        WriteTextFile(Source(name), "neu");
        WriteTextFile(Target(name), "alt");
        SetLocalWriteTime(Source(name), 2025, 3, 1, 12, 0, 0);
        SetLocalWriteTime(Target(name), 2025, 3, 1, 10, 0, 0);
    }
    // The target held by this thread before a run is timed: a run of another
    // test process on the shared drive would otherwise count in its time. The
    // run's own hold is then the same thread's second.
    std::unique_ptr<DriveLock> HoldTarget() {
        std::unique_ptr<DriveLock> lock = fs.LockDrive(DriveLetter::FromLetter(TargetDrive()));
        while (lock && lock->Wait(100) == DriveLock::Attempt::Busy) {
        }
        return lock;
    }
    void ExpectPreviousCopyKept(const wchar_t* name) {
        EXPECT_EQ(ReadWholeFile(Target(name)), "alt");
        EXPECT_EQ(WriteTime(Target(name)), std::make_tuple(2025, 3, 1, 10, 0, 0));
        EXPECT_THAT(NamesIn(Target()), ElementsAre(name)) << "no partial copy is left";
    }
};

// With versions and without: the final replace or rename waits for the
// moment, and so does an orphan's removal.
TEST_F(CopySafeguardsTest, ReplacesACopyAndRemovesAnOrphanHeldForAMomentByAnotherProgram) {
    host.set.synchron = true;
    for (const int days : {0, 30}) {
        SCOPED_TRACE(days);
        host.set.versionDays = days;
        MakeCleanFolder(Source());
        MakeCleanFolder(Target());
        ChangedSourceOverPreviousCopy(L"Brief.txt");
        WriteTextFile(Target(L"verwaist.txt"), "verwaist");
        {
            Locker copy(Target(L"Brief.txt"), 300), orphan(Target(L"verwaist.txt"), 600);
            ASSERT_TRUE(RunBackup(fs));
        }
        EXPECT_THAT(host.Problems(), IsEmpty());
        EXPECT_EQ(ReadWholeFile(Target(L"Brief.txt")), "neu");
        EXPECT_EQ(WriteTime(Target(L"Brief.txt")), std::make_tuple(2025, 3, 1, 12, 0, 0));
        EXPECT_THAT(NamesIn(Target()), ElementsAre(L"Brief.txt"));
    }
}

TEST_F(CopySafeguardsTest, GivesUpOnACopyHeldLongerAfterAboutTwoSeconds) {
    ChangedSourceOverPreviousCopy(L"Brief.txt");
    double took = 0;
    {
        Locker locker(Target(L"Brief.txt"), 10'000);
        const auto held = HoldTarget();
        const auto start = Clock::now();
        ASSERT_TRUE(RunBackup(fs));
        took = Seconds(Clock::now() - start);
    }
    EXPECT_GE(took, 1.8);
    EXPECT_LE(took, 4.0);
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"Brief.txt"))));
    EXPECT_EQ(host.runLog[host.runLog.size() - 2], u"Fehler beim kopieren !!");
    ExpectPreviousCopyKept(L"Brief.txt");
}

TEST_F(CopySafeguardsTest, FailsAtOnceForAReadOnlyCopyOrAFolderInItsPlace) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const std::vector<Case> cases = {
        {"read-only copy",
         [&] {
             ChangedSourceOverPreviousCopy(L"a.txt");
             SetFileAttributesW(Target(L"a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
         }},
        {"folder in the copy's place",
         [&] {
             WriteTextFile(Source(L"a.txt"), "neu");
             WriteTextFile(Target(L"a.txt\\drin.txt"), "drin");
         }},
    };
    for (const int days : {0, 30})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what + std::string(", versions ") + std::to_string(days));
            host.set.versionDays = days;
            MakeCleanFolder(Source());
            MakeCleanFolder(Target());
            c.arrange();
            host.runLog.clear();
            const auto held = HoldTarget();
            const auto start = Clock::now();
            ASSERT_TRUE(RunBackup(fs));
            EXPECT_LT(Seconds(Clock::now() - start), 1.0) << "no waiting for a lock that is none";
            EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"a.txt"))));
            EXPECT_THAT(NamesIn(Target()), ElementsAre(L"a.txt"));
        }
}

// A volume that takes a new write time without an error and keeps the old one.
class StampIgnoringFiles : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    bool SetHandleStamp(Handle, DosStamp, Handle) override { return true; }
};

TEST_F(CopySafeguardsTest, KeepsThePreviousCopyWhenTheVolumeDropsTheStamp) {
    ChangedSourceOverPreviousCopy(L"Brief.txt");
    WriteTextFile(Source(L"neu.txt"), "neu");
    SetLocalWriteTime(Source(L"neu.txt"), 2025, 3, 1, 12, 0, 0);
    StampIgnoringFiles files(fs);

    ASSERT_TRUE(RunBackup(files));
    EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"Brief.txt")),
                                             kNotCopiedLine + U16(Source(L"neu.txt"))))
        << "a copy with the time of its writing would pass for current after any change";
    ExpectPreviousCopyKept(L"Brief.txt");
}

TEST_F(CopySafeguardsTest, GivesTheCopyTheSourcesAccessTimeWithItsWriteTime) {
    WriteTextFile(Source(L"a.txt"), "a");
    FILETIME access{}, write{};
    SYSTEMTIME st{2021, 5, 0, 6, 7, 8, 10, 0};
    SystemTimeToFileTime(&st, &access);
    st.wYear = 2020;
    SystemTimeToFileTime(&st, &write);
    {
        const UniqueFile file(CreateFileW(Source(L"a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        SetFileTime(file.get(), nullptr, &access, &write);
    }

    ASSERT_TRUE(RunBackup(fs));
    // The copy's reading may have moved the source's access time on.
    WIN32_FILE_ATTRIBUTE_DATA source{}, copy{};
    ASSERT_TRUE(GetFileAttributesExW(Source(L"a.txt").c_str(), GetFileExInfoStandard, &source));
    ASSERT_TRUE(GetFileAttributesExW(Target(L"a.txt").c_str(), GetFileExInfoStandard, &copy));
    EXPECT_EQ(CompareFileTime(&copy.ftLastAccessTime, &source.ftLastAccessTime), 0);
    EXPECT_EQ(CompareFileTime(&copy.ftLastWriteTime, &write), 0);
}

// What Wine cannot show: a volume that names itself FAT.
class NamedFileSystem : public ForwardingFileServices {
public:
    NamedFileSystem(FileServices& inner, std::u16string name)
        : ForwardingFileServices(inner), name_(std::move(name)) {}
    std::u16string FileSystemName(DriveLetter drive) override {
        ++asked;
        return drive == DriveLetter::FromLetter(TargetDrive()) ? name_ : u"";
    }
    // Writing 4 GiB would take long; that a copy was begun is what counts.
    Handle CreateForWriting(std::u16string_view path, Sharing sharing) override {
        if (path.ends_with(u".iso" + std::u16string(kPartialCopyTail))) {
            ++largeCopiesBegun;
            SetLastError(ERROR_NOT_SUPPORTED);
            return kInvalidHandle;
        }
        return ForwardingFileServices::CreateForWriting(path, sharing);
    }
    int asked = 0;
    int largeCopiesBegun = 0;

private:
    std::u16string name_;
};

TEST_F(CopySafeguardsTest, RefusesAFileOfFourGibibytesForAFatTargetBeforeWriting) {
    // Sparse on the host: 4 GiB in name only.
    const std::wstring largest = Source(L"fast gross.iso"), large = Source(L"gross.iso"),
                       larger = Source(L"noch gross.iso");
    StartHostShell("truncate -s 4294967295 '" + HostPath(largest) +
                   "' && truncate -s 4294967296 '" + HostPath(large) + "' && truncate -s 5G '" +
                   HostPath(larger) + "'");
    for (int i = 0; i < 200 && !FileExists(larger); ++i)
        Sleep(25);
    Sleep(100);
    WriteTextFile(Source(L"klein.txt"), "klein");

    struct Case {
        const char16_t* fileSystem;
        bool refused;
    };
    for (const Case c : {Case{u"FAT", true}, Case{u"FAT16", true}, Case{u"FAT32", true},
                         Case{u"exFAT", false}, Case{u"NTFS", false}}) {
        SCOPED_TRACE(Narrow(c.fileSystem));
        MakeCleanFolder(Target());
        host.runLog.clear();
        NamedFileSystem files(fs, c.fileSystem);
        const auto held = HoldTarget();
        const auto start = Clock::now();
        ASSERT_TRUE(RunBackup(files));
        EXPECT_LT(Seconds(Clock::now() - start), 2.0);
        EXPECT_EQ(files.asked, 1) << "the name is asked once per run";
        // 4 GiB - 1 fits every file system.
        EXPECT_EQ(files.largeCopiesBegun, c.refused ? 1 : 3);
        EXPECT_THAT(host.Problems(),
                    UnorderedElementsAre(kNotCopiedLine + U16(larger), kNotCopiedLine + U16(large),
                                         kNotCopiedLine + U16(largest)));
        EXPECT_THAT(NamesIn(Target()), ElementsAre(L"klein.txt"));
    }
}

// A leftover partial copy that another program holds open, as a second run
// writing it would: the copy takes the next name and nothing waits.
TEST_F(CopySafeguardsTest, WritesBesideALeftoverPartialCopyThatIsHeld) {
    ChangedSourceOverPreviousCopy(L"Brief.txt");
    const std::wstring leftover = Target(L"Brief.txt") + Wide(kPartialCopyTail);
    WriteTextFile(leftover, "halb");
    {
        Locker locker(leftover, 10'000);
        const auto held = HoldTarget();
        const auto start = Clock::now();
        ASSERT_TRUE(RunBackup(fs));
        EXPECT_LT(Seconds(Clock::now() - start), 1.5);
    }
    EXPECT_THAT(host.Problems(), IsEmpty());
    EXPECT_EQ(ReadWholeFile(Target(L"Brief.txt")), "neu");
    EXPECT_EQ(ReadWholeFile(leftover), "halb") << "the held file is left alone";
}

// The order of the calls on the partial copy: its bytes and stamp are on the
// drive before the stamp is read back and before it takes the copy's place.
class CallOrder : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    bool SetHandleStamp(Handle h, DosStamp stamp, Handle from) override {
        calls.push_back("stamp");
        return ForwardingFileServices::SetHandleStamp(h, stamp, from);
    }
    bool FlushToDrive(Handle h) override {
        calls.push_back("flush");
        return ForwardingFileServices::FlushToDrive(h);
    }
    DosStamp GetFileStamp(std::u16string_view path) override {
        if (path.ends_with(kPartialCopyTail)) calls.push_back("read back");
        return ForwardingFileServices::GetFileStamp(path);
    }
    bool MoveIntoPlace(std::u16string_view source, std::u16string_view target) override {
        calls.push_back("in place");
        return ForwardingFileServices::MoveIntoPlace(source, target);
    }
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override {
        calls.push_back(source.ends_with(kPartialCopyTail) ? "in place" : "kept");
        return ForwardingFileServices::RenameWithoutReplacing(source, target);
    }
    std::vector<std::string> calls;
};

TEST_F(CopySafeguardsTest, FlushesThePartialCopyBeforeItsStampIsReadBackOrItTakesThePlace) {
    for (const int days : {0, 30}) {
        SCOPED_TRACE(days);
        host.set.versionDays = days;
        MakeCleanFolder(Target());
        ChangedSourceOverPreviousCopy(L"Brief.txt");
        CallOrder files(fs);
        ASSERT_TRUE(RunBackup(files));
        EXPECT_THAT(host.Problems(), IsEmpty());
        // With versions the run's listing follows: on the drive before it
        // takes its name.
        const std::vector<std::string> expected =
            days ? std::vector<std::string>{"stamp",    "flush", "read back", "kept",
                                            "in place", "flush", "in place"}
                 : std::vector<std::string>{"stamp", "flush", "read back", "in place"};
        EXPECT_EQ(files.calls, expected);
    }
}

// The new copy cannot take the place of the copy just kept: the kept one goes
// back, waiting for a moment's hold on it; held longer, the log says where it is.
class FailingFinalRename : public ForwardingFileServices {
public:
    FailingFinalRename(FileServices& inner, int holdKept)
        : ForwardingFileServices(inner), holdKept_(holdKept) {}
    bool RenameWithoutReplacing(std::u16string_view source, std::u16string_view target) override {
        if (!source.ends_with(kPartialCopyTail)) {
            if (!source.starts_with(u"T:\\.")) kept = Wide(target);
            return ForwardingFileServices::RenameWithoutReplacing(source, target);
        }
        locker = std::make_unique<Locker>(kept, holdKept_);
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::wstring kept;
    std::unique_ptr<Locker> locker;

private:
    int holdKept_;
};

TEST_F(CopySafeguardsTest, PutsTheKeptCopyBackWhenTheNewOneCannotTakeItsPlace) {
    for (const int hold : {300, 10'000}) {
        SCOPED_TRACE(hold);
        MakeCleanFolder(Target());
        ChangedSourceOverPreviousCopy(L"Brief.txt");
        host.runLog.clear();
        FailingFinalRename files(fs, hold);
        ASSERT_TRUE(RunBackup(files));
        files.locker.reset();
        ASSERT_FALSE(files.kept.empty());
        if (hold < 1000) {
            EXPECT_THAT(host.Problems(), ElementsAre(kNotCopiedLine + U16(Source(L"Brief.txt"))));
            ExpectPreviousCopyKept(L"Brief.txt");
        } else {
            EXPECT_THAT(host.Problems(), ElementsAre(kOnlyInStoreLine + U16(files.kept),
                                                     kNotCopiedLine + U16(Source(L"Brief.txt"))));
            EXPECT_EQ(ReadWholeFile(files.kept), "alt");
            EXPECT_FALSE(FileExists(Target(L"Brief.txt")));
        }
    }
}

} // namespace
} // namespace kelvorin::testing
