// One run per target drive: a run waits while another holds the drive's lock,
// taking its turns, and a close request ends the wait without touching the drive.
#include "engine/DriveHold.h"
#include "engine/BackupRun.h"

#include "set/Windows1252CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryFileServices.h"
#include "tests/support/MemoryRunHost.h"

#include <gmock/gmock.h>

#include <future>
#include <thread>

namespace kelvorin::testing {
namespace {

constexpr DriveLetter kTarget = DriveLetter::FromLetter(u'T');

// Another run on a thread of its own holds the drive until told to let go.
class OtherRun {
public:
    OtherRun(FileServices& files, DriveLetter drive)
        : thread_([this, &files, drive, released = release_.get_future()] {
              const auto lock = files.LockDrive(drive);
              taken_.set_value(lock && lock->Wait(0) == DriveLock::Attempt::Taken);
              released.wait();
          }) {
        holding_ = taken_.get_future().get();
    }
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;
    ~OtherRun() {
        LetGo();
        thread_.join();
    }
    bool Holding() const { return holding_; }
    void LetGo() {
        if (!letGo_) release_.set_value();
        letGo_ = true;
    }

private:
    std::promise<bool> taken_;
    std::promise<void> release_;
    bool holding_ = false, letGo_ = false;
    std::thread thread_; // last: it uses the promises
};

// Whether a thread other than this one could take the drive now.
bool FreeForOthers(FileServices& files, DriveLetter drive) {
    return std::async(std::launch::async,
                      [&] { return files.LockDrive(drive)->Wait(0) == DriveLock::Attempt::Taken; })
        .get();
}

TEST(DriveHold, WaitsWithItsTurnsUntilTheOtherRunLetsGoAndThenHoldsTheDrive) {
    MemoryFileServices files;
    MemoryRunHost host;
    RunFlags flags;
    OtherRun other(files, kTarget);
    ASSERT_TRUE(other.Holding());
    host.onKeepResponsive = [&] {
        if (host.keepResponsiveCalls == 3) other.LetGo();
    };
    {
        const DriveHold hold(files, kTarget, host, flags);
        EXPECT_TRUE(hold.Held());
        EXPECT_EQ(host.waitsForOtherRun, 1) << "told once, not once per turn";
        EXPECT_GE(host.keepResponsiveCalls, 3);
        EXPECT_FALSE(FreeForOthers(files, kTarget));
        // The same thread takes it again at once: a check, then its repair.
        const int turns = host.keepResponsiveCalls;
        const DriveHold nested(files, kTarget, host, flags);
        EXPECT_TRUE(nested.Held());
        EXPECT_EQ(host.waitsForOtherRun, 1);
        EXPECT_EQ(host.keepResponsiveCalls, turns);
    }
    EXPECT_TRUE(FreeForOthers(files, kTarget)) << "given up with the last hold";
    EXPECT_TRUE(FreeForOthers(files, DriveLetter::FromLetter(u'U'))) << "each drive its own lock";
}

// A run on a held drive: a close request during the wait ends it as a
// cancelled run ends, without a change on the target; a lock that cannot be
// made lets the backup go on.
TEST(DriveHold, ARunOnAHeldDriveWaitsAndACloseRequestEndsItUntouched) {
    const struct {
        const char* name;
        bool failLocks;
        const char16_t* status;
        int waits;
    } cases[] = {
        {"close request during the wait", false, u"Abbruch", 1},
        {"no lock to be had", true, u"OK", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileServices files;
        for (char16_t drive : {u'S', u'T', u'K'})
            files.AddDrive(drive);
        files.AddFolder(u"K:\\Dokumente");
        files.AddFile(u"S:\\Daten\\neu.txt", "neu", Stamp(2026, 12, 1, 9, 0, 0));
        files.AddFile(u"T:\\Daten\\alt.txt", "verwaist", Stamp(2026, 1, 1, 9, 0, 0));
        // Past the keep time: the run's start would remove it.
        files.AddFolder(u"T:\\.Kelvorin-Versionen\\2020-01-01 00.00.00");
        files.AddFolder(u"T:\\.Kelvorin-Versionen\\2026-12-09 00.00.00");
        if (c.failLocks) files.FailDriveLocks();
        OtherRun other(files, kTarget);
        ASSERT_EQ(other.Holding(), !c.failLocks);

        MemoryRunHost host;
        host.set.folders.Add(u"S:\\Daten");
        host.set.SetDriveIndex(u'T' - u'A');
        host.set.synchron = true;
        RunFlags flags;
        host.onKeepResponsive = [&] {
            if (host.waitsForOtherRun > 0) flags.cancelled = true;
        };
        Windows1252CodePage codePage;
        NoonClock clock;
        BackupRun run(host, {files, codePage, clock}, flags, u"K:\\Dokumente\\");
        ASSERT_TRUE(run.Run());

        EXPECT_EQ(host.waitsForOtherRun, c.waits);
        EXPECT_EQ(host.Status(), c.status);
        EXPECT_EQ(host.ended.has_value(), true);
        EXPECT_EQ(host.busyEnds, 1);
        ASSERT_TRUE(files.Find(u"K:\\Dokumente\\Kelvorin.log")) << "logged as any run";
        const bool backedUp = c.failLocks;
        EXPECT_EQ(files.Find(u"T:\\Daten\\neu.txt") != nullptr, backedUp);
        EXPECT_EQ(files.Find(u"T:\\Daten\\alt.txt") == nullptr, backedUp);
        EXPECT_EQ(files.Find(u"T:\\.Kelvorin-Versionen\\2020-01-01 00.00.00") == nullptr, backedUp);
    }
}

// The window's box about a log file that cannot be written waits for a
// person: by then the run has left the stick, and a scheduled run may start.
TEST(DriveHold, IsGivenUpBeforeTheRunTellsOfALogFileThatCannotBeWritten) {
    MemoryFileServices files;
    for (char16_t drive : {u'S', u'T', u'K'})
        files.AddDrive(drive);
    files.AddFile(u"S:\\Daten\\neu.txt", "neu", Stamp(2026, 12, 1, 9, 0, 0));
    MemoryRunHost host;
    host.set.folders.Add(u"S:\\Daten");
    host.set.SetDriveIndex(u'T' - u'A');
    std::optional<bool> freeAtTheBox;
    host.onLogFileFailed = [&] { freeAtTheBox = FreeForOthers(files, kTarget); };
    RunFlags flags;
    Windows1252CodePage codePage;
    NoonClock clock;
    BackupRun run(host, {files, codePage, clock}, flags, u"K:\\Fehlt\\");
    ASSERT_TRUE(run.Run());
    ASSERT_EQ(host.logErrors.size(), 1u) << "no documents folder, no log file";
    EXPECT_EQ(freeAtTheBox, true);
    EXPECT_TRUE(files.Find(u"T:\\Daten\\neu.txt")) << "the run itself went through";
}

} // namespace
} // namespace kelvorin::testing
