#include "engine/VersionStore.h"

#include "engine/Calendar.h"
#include "engine/RunNames.h"

#include "engine/BackupRun.h"
#include "engine/DriveRoom.h"
#include "set/Windows1252CodePage.h"
#include "tests/support/MemoryRunHost.h"

#include "set/Text16.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/MemoryFileServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kelvorin {
namespace {

using testing::MemoryFileServices;
using testing::MemoryRunHost;
using testing::Narrow;
using testing::NoonClock;
using testing::Stamp;

// Which run folders went, in order.
class FolderRemovals : public testing::ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    bool RemoveOneFolder(std::u16string_view path) override {
        const bool removed = ForwardingFileServices::RemoveOneFolder(path);
        if (removed && path.find(u"\\Daten") == std::u16string_view::npos)
            order.emplace_back(path.substr(path.rfind(u'\\') + 1));
        return removed;
    }
    std::vector<std::u16string> order;
};

TEST(RunFolderNames, AreTheRunsStartAndOnlySuchNamesCount) {
    EXPECT_EQ(RunFolderName({2026, 12, 10, 20, 15, 3, 999}), u"2026-12-10 20.15.03");
    const std::int64_t start = MomentOf({2026, 12, 10, 20, 15, 3, 0});
    const struct {
        const char16_t* name;
        std::int64_t secondsBeforeStart; // -1: no run folder
    } cases[] = {
        {u"2026-12-10 20.15.03", 0},
        {u"2026-12-10 20.15.03 (2)", 0},
        {u"2026-12-10 20.15.03 (17)", 0},
        {u"2026-12-09 20.15.04", 86'400 - 1},
        {u"2026-11-10 20.15.03", 30 * 86'400},
        {u"2025-12-10 20.15.03", 365 * 86'400},
        {u"2024-02-29 00.00.00", -2}, // a leap day: parsed, age below
        {u"2023-02-29 00.00.00", -1},
        {u"2026-13-01 00.00.00", -1},
        {u"2026-12-10 24.00.00", -1},
        {u"2026-12-10 20.15.03 (1)", -1},
        {u"2026-12-10 20.15.03 (0)", -1},
        {u"2026-12-10 20.15.03 (x)", -1},
        {u"2026-12-10 20.15.03x", -1},
        {u"2026-12-10 20:15:03", -1},
        {u"2026-12-10", -1},
        {u"Notizen", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const auto moment = RunFolderMoment(c.name);
        if (c.secondsBeforeStart == -1) {
            EXPECT_FALSE(moment);
        } else if (c.secondsBeforeStart >= 0) {
            ASSERT_TRUE(moment);
            EXPECT_EQ(start - *moment, c.secondsBeforeStart);
        } else {
            ASSERT_TRUE(moment);
            EXPECT_EQ(start - *moment,
                      (366 + 365 + 284) * std::int64_t{86'400} + 20 * 3600 + 15 * 60 + 3);
        }
    }
}

// The oldest by time, and of one second by number: " (10)" after " (2)".
TEST(VersionStorePruning, TakesTheOldestRunFolderFirstAndNeverTheRunsOwn) {
    MemoryFileServices files;
    files.AddDrive(u'T');
    const std::u16string store = u"T:\\.Kelvorin-Versionen\\";
    for (const char16_t* name : {u"2026-12-01 08.00.00 (10)", u"2026-12-01 08.00.00 (2)",
                                 u"2026-12-01 08.00.00", u"2026-11-30 09.00.00", u"Eigenes"})
        files.AddFile(store + name + u"\\Daten\\a.txt", "a", 100);
    files.AddFile(u"T:\\Daten\\b.txt", "b", 100);
    FolderRemovals removals(files);
    std::vector<std::u16string> notRemoved;
    VersionStore versions(removals, DriveLetter::FromLetter(u'T'), 30, {2026, 12, 10, 12, 0, 0, 0},
                          {.notRemoved = [&](const std::u16string& f) { notRemoved.push_back(f); },
                           .removedForRoom = [](const std::u16string&) {},
                           .onlyInStore = [](const std::u16string&) {},
                           .listingNotWritten = [](const std::u16string&) {},
                           .keepResponsive = [] {}});
    ASSERT_EQ(versions.MoveIntoStore(u"T:\\Daten\\b.txt"), KeepOutcome::Kept);

    int pruned = 0;
    while (versions.PruneOldest())
        ++pruned;
    EXPECT_EQ(pruned, 4);
    EXPECT_EQ(removals.order, (std::vector<std::u16string>{
                                  u"2026-11-30 09.00.00", u"2026-12-01 08.00.00",
                                  u"2026-12-01 08.00.00 (2)", u"2026-12-01 08.00.00 (10)"}));
    EXPECT_TRUE(files.Find(store + u"2026-12-10 12.00.00\\Daten\\b.txt"));
    EXPECT_TRUE(files.Find(store + u"Eigenes\\Daten\\a.txt"));
    EXPECT_FALSE(files.Find(u"T:\\Daten\\b.txt"));
    EXPECT_TRUE(notRemoved.empty());
}

// A store of many runs on a slow stick takes seconds to list and prune: the
// window gets its turn between every two steps of it, never after a whole folder.
TEST(VersionStorePruning, GivesTheWindowItsTurnsWhileItListsAndRemoves) {
    class CountingSteps : public testing::ForwardingFileServices {
    public:
        using ForwardingFileServices::ForwardingFileServices;
        bool ListFolder(std::u16string_view pattern,
                        const std::function<void(const FolderEntry&)>& visit) override {
            return ForwardingFileServices::ListFolder(pattern, [&](const FolderEntry& e) {
                Step();
                visit(e);
            });
        }
        bool DeleteOneFile(std::u16string_view path) override {
            Step();
            return ForwardingFileServices::DeleteOneFile(path);
        }
        void Turn() { sinceTurn = 0; }
        int steps = 0, sinceTurn = 0, longestWithoutTurn = 0;

    private:
        void Step() {
            ++steps;
            longestWithoutTurn = std::max(longestWithoutTurn, ++sinceTurn);
        }
    };
    MemoryFileServices files;
    files.AddDrive(u'T');
    const std::u16string store = u"T:\\.Kelvorin-Versionen\\";
    for (int i = 0; i < 20; ++i)
        files.AddFile(store + u"2026-01-01 08.00.00\\Daten\\f" + DecimalText(i), "x", 100);
    for (int day = 1; day <= 9; ++day)
        files.AddFile(store + u"2026-12-0" + DecimalText(day) + u" 08.00.00\\a.txt", "a", 100);
    CountingSteps steps(files);
    VersionStore versions(steps, DriveLetter::FromLetter(u'T'), 30, {2026, 12, 10, 12, 0, 0, 0},
                          {.notRemoved = [](const std::u16string&) {},
                           .removedForRoom = [](const std::u16string&) {},
                           .onlyInStore = [](const std::u16string&) {},
                           .listingNotWritten = [](const std::u16string&) {},
                           .keepResponsive = [&] { steps.Turn(); }});

    versions.PruneByAge();

    EXPECT_FALSE(files.Find(store + u"2026-01-01 08.00.00\\Daten\\f0")) << "the expired run went";
    EXPECT_GE(steps.steps, 30);
    EXPECT_LE(steps.longestWithoutTurn, 2);
}

// A clock set years ahead: the age counts from the newest run folder instead.
TEST(VersionStorePruning, CountsTheAgeFromTheNewestRunFolderWhenTheClockIsAhead) {
    MemoryFileServices files;
    files.AddDrive(u'T');
    const std::u16string store = u"T:\\.Kelvorin-Versionen\\";
    for (const char16_t* name :
         {u"2026-10-01 08.00.00", u"2026-11-20 08.00.00", u"2026-12-01 08.00.00"})
        files.AddFile(store + name + u"\\a.txt", "a", 100);
    VersionStore versions(files, DriveLetter::FromLetter(u'T'), 30, {2031, 6, 1, 12, 0, 0, 0},
                          {.notRemoved = [](const std::u16string&) {},
                           .removedForRoom = [](const std::u16string&) {},
                           .onlyInStore = [](const std::u16string&) {},
                           .listingNotWritten = [](const std::u16string&) {},
                           .keepResponsive = [] {}});
    versions.PruneByAge();
    EXPECT_FALSE(files.Find(store + u"2026-10-01 08.00.00"));
    EXPECT_TRUE(files.Find(store + u"2026-11-20 08.00.00\\a.txt"));
    EXPECT_TRUE(files.Find(store + u"2026-12-01 08.00.00\\a.txt"));
}

// Whole runs in memory, with the store on the target.
class StoreRun : public ::testing::Test {
protected:
    static constexpr std::int64_t kMB = 1'000'000;
    void SetUp() override {
        NewWorld();
        host.set.exclusions.clear();
        host.set.SetDriveIndex(u'T' - u'A');
    }
    void NewWorld() {
        files = MemoryFileServices();
        for (char16_t drive : {u'S', u'D', u'T', u'K'})
            files.AddDrive(drive);
        files.AddFolder(u"K:\\Dokumente");
    }
    void Run() {
        host.runLog.clear();
        BackupRun run(host, RunPlatform{files, codePage, clock}, flags, u"K:\\Dokumente\\");
        ASSERT_TRUE(run.Run());
    }
    std::string Bytes(std::u16string_view path) const {
        const auto* node = files.Find(path);
        return node ? node->bytes : "(missing)";
    }

    MemoryFileServices files;
    MemoryRunHost host;
    Windows1252CodePage codePage;
    NoonClock clock;
    RunFlags flags;
};

// At its end a run keeps the drive ready for the next one: with exactly the
// least free bytes the oldest run folder goes, with one byte more none.
TEST_F(StoreRun, GivesWayAtTheRunsEndOnlyWhileTheDriveHasNoRoomForARun) {
    const std::u16string oldRun = u"T:\\.Kelvorin-Versionen\\2026-12-07 08.00.00";
    host.set.folders.Add(u"S:\\Daten");
    for (const std::int64_t free : {kLeastFreeBytes, kLeastFreeBytes + 1}) {
        SCOPED_TRACE(free);
        NewWorld();
        files.AddFolder(u"S:\\Daten");
        files.AddFile(oldRun + u"\\Daten\\alt.txt", "alt", 100);
        files.SetCapacity(u'T', 3 + free);

        Run();
        EXPECT_EQ(files.Find(oldRun) == nullptr, free == kLeastFreeBytes);
    }
}

// Three young run folders of 2 MB and 1.5 MB free: only as many go as the
// file needs, and none for a file that cannot fit even with all of them.
TEST_F(StoreRun, RemovesRunFoldersForRoomOnlyAsManyAsTheFileNeedsAndNoneInVain) {
    const std::u16string store = u"T:\\.Kelvorin-Versionen\\";
    const std::u16string runs[] = {u"2026-12-07 08.00.00", u"2026-12-08 08.00.00",
                                   u"2026-12-09 08.00.00"};
    const struct {
        std::int64_t size;
        std::size_t removed; // the oldest this many
    } cases[] = {{2 * kMB, 1}, {4 * kMB, 2}, {8 * kMB, 0}};
    host.set.folders.Add(u"S:\\Daten");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        NewWorld();
        host.removedForRoom.clear();
        for (const std::u16string& run : runs)
            files.AddFile(store + run + u"\\Daten\\alt.bin",
                          std::string(static_cast<std::size_t>(2 * kMB), 'a'), 100);
        files.AddFile(u"S:\\Daten\\gross.bin", std::string(static_cast<std::size_t>(c.size), 'n'),
                      Stamp(2026, 12, 1, 10, 0, 0));
        files.SetCapacity(u'T', 6 * kMB + 3 * kMB / 2);

        Run();
        std::vector<std::u16string> removed;
        for (std::size_t i = 0; i < c.removed; ++i)
            removed.push_back(store + runs[i]);
        EXPECT_EQ(host.removedForRoom, removed);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(files.Find(store + runs[i]) != nullptr, i >= c.removed) << i;
        if (c.removed > 0) {
            EXPECT_EQ(Bytes(u"T:\\Daten\\gross.bin").size(), static_cast<std::size_t>(c.size));
            EXPECT_EQ(host.Status(), u"OK");
        } else {
            EXPECT_EQ(host.Problems(),
                      std::vector<std::u16string>{u"Nicht kopiert: S:\\Daten\\gross.bin"});
            EXPECT_FALSE(files.Find(u"T:\\Daten\\gross.bin"));
        }
        EXPECT_EQ(files.OpenHandles(), 0);
    }
}

// S:\Daten and D:\Daten share one backup, and both are newer than it: the
// second copy replaces the first's without keeping it, and the backup that
// was there before the run is kept once.
TEST_F(StoreRun, ReplacesItsOwnCopyOfTheSameRunWithoutKeepingItAgain) {
    host.set.folders.Add(u"D:\\Daten");
    host.set.folders.Add(u"S:\\Daten");
    files.AddFile(u"T:\\Daten\\a.txt", "alt", Stamp(2026, 1, 1, 10, 0, 0));
    files.AddFile(u"D:\\Daten\\a.txt", "von D", Stamp(2026, 2, 1, 10, 0, 0));
    files.AddFile(u"S:\\Daten\\a.txt", "von S", Stamp(2026, 3, 1, 10, 0, 0));
    Run();
    EXPECT_TRUE(host.Problems().empty()) << Narrow(host.Problems().front());
    EXPECT_EQ(Bytes(u"T:\\Daten\\a.txt"), "von S");
    EXPECT_EQ(Bytes(u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00\\Daten\\a.txt"), "alt");
}

// A backup that this run kept once already and then retires is kept again,
// in a further folder of the run: a retired backup never goes without a version.
TEST(VersionStoreRetire, KeepsAPathTwiceInOneRunInAFurtherFolderOfTheRun) {
    MemoryFileServices files;
    files.AddDrive(u'T');
    files.AddFile(u"T:\\Daten\\a.txt", "vor dem Lauf", 100);
    VersionStore versions(files, DriveLetter::FromLetter(u'T'), 30, {2026, 12, 10, 12, 0, 0, 0},
                          {[](const std::u16string&) {}, [](const std::u16string&) {},
                           [](const std::u16string&) {}, [](const std::u16string&) {}, [] {}});
    ASSERT_EQ(versions.MoveIntoStore(u"T:\\Daten\\a.txt"), KeepOutcome::Kept);
    files.AddFile(u"T:\\Daten\\a.txt", "aus diesem Lauf", 100);
    ASSERT_EQ(versions.MoveIntoStore(u"T:\\Daten\\a.txt"), KeepOutcome::KeptBefore);

    EXPECT_TRUE(versions.Retire(u"T:\\Daten\\a.txt"));
    EXPECT_FALSE(files.Find(u"T:\\Daten\\a.txt"));
    const std::u16string store = u"T:\\.Kelvorin-Versionen\\";
    const auto bytes = [&](const std::u16string& path) {
        const auto* node = files.Find(path);
        return node ? node->bytes : "(missing)";
    };
    EXPECT_EQ(bytes(store + u"2026-12-10 12.00.00\\Daten\\a.txt"), "vor dem Lauf");
    EXPECT_EQ(bytes(store + u"2026-12-10 12.00.00 (2)\\Daten\\a.txt"), "aus diesem Lauf");
}

} // namespace
} // namespace kelvorin
