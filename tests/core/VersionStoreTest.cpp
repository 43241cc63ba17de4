#include "engine/VersionStore.h"

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
using testing::Narrow;

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
    VersionStore versions(
        removals, DriveLetter::FromLetter(u'T'), 30, {2026, 12, 10, 12, 0, 0, 0},
        [&](const std::u16string& f) { notRemoved.push_back(f); }, [] {});
    ASSERT_TRUE(versions.Keep(u"T:\\Daten\\b.txt"));

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
        void ListFolder(std::u16string_view pattern,
                        const std::function<void(const FolderEntry&)>& visit) override {
            ForwardingFileServices::ListFolder(pattern, [&](const FolderEntry& e) {
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
    VersionStore versions(
        steps, DriveLetter::FromLetter(u'T'), 30, {2026, 12, 10, 12, 0, 0, 0},
        [](const std::u16string&) {}, [&] { steps.Turn(); });

    versions.PruneByAge();

    EXPECT_FALSE(files.Find(store + u"2026-01-01 08.00.00\\Daten\\f0")) << "the expired run went";
    EXPECT_GE(steps.steps, 30);
    EXPECT_LE(steps.longestWithoutTurn, 2);
}

} // namespace
} // namespace kelvorin
