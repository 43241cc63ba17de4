// The check of a backup against its sources, over a file system in memory.
#include "engine/BackupCheck.h"
#include "engine/BackupRun.h"
#include "set/Windows1252CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryFileServices.h"
#include "tests/support/MemoryRunHost.h"

#include <gmock/gmock.h>

#include <functional>

namespace kelvorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr DosStamp kStamp = 0x5A8A6000;
// Larger than a chunk, so that a fault can lie in a later one.
const std::string kLarge = [] {
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    return bytes;
}();

class RecordingCheckHost : public CheckHost {
public:
    std::vector<std::u16string> lines;
    int progressCalls = 0;
    std::function<void()> onProgress;
    void Report(const std::u16string& line) override { lines.push_back(line); }
    void Progress(const std::u16string&, const CheckCounts&) override {
        ++progressCalls;
        if (onProgress) onProgress();
    }
};

// S:\Daten with a large file, a small one and one the exclusions leave out,
// all with current copies on T:.
void MakeWorld(MemoryFileServices& files) {
    for (char16_t drive : {u'S', u'T', u'K'})
        files.AddDrive(drive);
    files.AddFolder(u"K:\\Dokumente");
    for (char16_t drive : {u'S', u'T'}) {
        const std::u16string root{drive, u':', u'\\'};
        files.AddFile(root + u"Daten\\Film.mp4", kLarge, kStamp);
        files.AddFile(root + u"Daten\\Sub\\brief.txt", "Sehr geehrte Damen", kStamp);
        files.AddFile(root + u"Daten\\alt.bak", "alt", kStamp);
    }
}

class BackupCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeWorld(files);
        set.folders.Add(u"S:\\Daten");
        set.SetDriveIndex(u'T' - u'A');
        set.exclusions = {u"bak"};
    }

    CheckCounts Check() { return Check(files); }
    CheckCounts Check(MemoryFileServices& world) {
        BackupCheck check(host, world, set, flags);
        check.Run();
        damaged = check.Damaged();
        return check.Counts();
    }

    MemoryFileServices files;
    BackupSet set;
    RunFlags flags;
    RecordingCheckHost host;
    std::vector<DamagedCopy> damaged;
};

TEST_F(BackupCheckTest, FindsEachKindOfDamageAndCountsWhatARunWouldCopy) {
    std::string changedMiddle = kLarge, changedLast = kLarge;
    changedMiddle[kLarge.size() / 2] ^= 1;
    changedLast.back() ^= 0x40;
    const struct {
        const char* name;
        std::function<void(MemoryFileServices&)> damage;
        std::vector<std::u16string> lines;
        std::uint64_t compared, notCurrent, problems;
        bool backupDamaged, sourceUnreadable;
    } cases[] = {
        {"equal trees", [](MemoryFileServices&) {}, {}, 2, 0, 0, false, false},
        {"a changed byte in the middle",
         [&](MemoryFileServices& f) { f.AddFile(u"T:\\Daten\\Film.mp4", changedMiddle, kStamp); },
         {u"Abweichend: T:\\Daten\\Film.mp4"},
         2,
         0,
         1,
         true,
         false},
        {"a changed last byte",
         [&](MemoryFileServices& f) { f.AddFile(u"T:\\Daten\\Film.mp4", changedLast, kStamp); },
         {u"Abweichend: T:\\Daten\\Film.mp4"},
         2,
         0,
         1,
         true,
         false},
        {"a truncated backup",
         [](MemoryFileServices& f) {
             f.AddFile(u"T:\\Daten\\Film.mp4", kLarge.substr(0, 2 * 1024 * 1024), kStamp);
         },
         {u"Abweichend: T:\\Daten\\Film.mp4"},
         2,
         0,
         1,
         true,
         false},
        {"a backup that fails to read in mid-file",
         [](MemoryFileServices& f) { f.FailReadFrom(u"T:\\Daten\\Film.mp4", 2 * 1024 * 1024 + 5); },
         {u"Nicht lesbar: T:\\Daten\\Film.mp4"},
         2,
         0,
         1,
         true,
         false},
        {"a backup that cannot be opened",
         [](MemoryFileServices& f) { f.FailOpen(u"T:\\Daten\\Sub\\brief.txt"); },
         {u"Nicht lesbar: T:\\Daten\\Sub\\brief.txt"},
         2,
         0,
         1,
         true,
         false},
        {"an unreadable source",
         [](MemoryFileServices& f) { f.FailReadFrom(u"S:\\Daten\\Film.mp4", 100); },
         {u"Quelle nicht lesbar: S:\\Daten\\Film.mp4"},
         1,
         0,
         1,
         false,
         true},
        {"a source changed since its copy: not current, only counted",
         [](MemoryFileServices& f) {
             f.AddFile(u"S:\\Daten\\Sub\\brief.txt", "Liebe Anna", kStamp + 1);
         },
         {},
         1,
         1,
         0,
         false,
         false},
        {"a missing copy: not current",
         [](MemoryFileServices& f) { f.DeleteOneFile(u"T:\\Daten\\Sub\\brief.txt"); },
         {},
         1,
         1,
         0,
         false,
         false},
        {"an excluded file's copy differs: not looked at",
         [](MemoryFileServices& f) { f.AddFile(u"T:\\Daten\\alt.bak", "verrottet", kStamp); },
         {},
         2,
         0,
         0,
         false,
         false},
        {"a dot folder and a folder link are not walked",
         [](MemoryFileServices& f) {
             f.AddFile(u"S:\\Daten\\.git\\HEAD", "a", kStamp);
             f.AddFile(u"T:\\Daten\\.git\\HEAD", "b", kStamp);
             f.AddFolderLink(u"S:\\Daten\\Verweis");
             f.AddFile(u"S:\\Daten\\Verweis\\x.txt", "a", kStamp);
             f.AddFile(u"T:\\Daten\\Verweis\\x.txt", "b", kStamp);
         },
         {},
         2,
         0,
         0,
         false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileServices world;
        MakeWorld(world);
        c.damage(world);
        host.lines.clear();
        const MemoryFileServices::Tree before = world.Nodes();
        const CheckCounts counts = Check(world);
        EXPECT_THAT(host.lines, ElementsAreArray(c.lines));
        EXPECT_EQ(counts.filesCompared, c.compared);
        EXPECT_EQ(counts.notCurrent, c.notCurrent);
        EXPECT_EQ(counts.problems, c.problems);
        EXPECT_EQ(counts.backupDamaged, c.backupDamaged);
        EXPECT_EQ(counts.sourceUnreadable, c.sourceUnreadable);
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), world.Nodes().begin(),
                               world.Nodes().end(),
                               [](const auto& a, const auto& b) {
                                   return a.first == b.first && a.second.bytes == b.second.bytes &&
                                          a.second.stamp == b.second.stamp;
                               }))
            << "the check changed the disk";
    }
}

TEST_F(BackupCheckTest, ReadsBothTreesOnceAndReportsAMissingFolder) {
    set.folders.Add(u"S:\\Fehlt");
    const CheckCounts counts = Check();
    EXPECT_THAT(host.lines, ElementsAre(u"Nicht gefunden: S:\\Fehlt"));
    const std::uint64_t sourceBytes = kLarge.size() + std::string("Sehr geehrte Damen").size();
    EXPECT_EQ(counts.sourceBytesToCompare, sourceBytes);
    EXPECT_EQ(counts.sourceBytesCompared, sourceBytes);
    EXPECT_EQ(counts.bytesRead, 2 * sourceBytes);
    EXPECT_GT(host.progressCalls, 3); // within the large file too
}

TEST_F(BackupCheckTest, StopsBetweenChunksWhenCancelled) {
    host.onProgress = [&] {
        if (host.progressCalls == 2) flags.cancelled = true; // after the first chunk
    };
    const CheckCounts counts = Check();
    EXPECT_THAT(host.lines, IsEmpty());
    EXPECT_EQ(counts.filesCompared, 0u);
    EXPECT_EQ(files.OpenHandles(), 0);
}

// A repair copies each damaged backup again through a run's fail-safe copy;
// one it may not replace (read-only) is a failed copy. Afterwards the check
// finds only that one.
TEST_F(BackupCheckTest, RepairReplacesDamagedCopiesLikeARun) {
    std::string rotten = kLarge;
    rotten[12345] ^= 1;
    files.AddFile(u"T:\\Daten\\Film.mp4", rotten, kStamp);
    files.AddFile(u"T:\\Daten\\Sub\\brief.txt", "Sehr geehrte Dumen", kStamp, kAttrReadOnly);
    Check();
    ASSERT_EQ(damaged.size(), 2u);

    MemoryRunHost runHost;
    runHost.set = set;
    Windows1252CodePage codePage;
    NoonClock clock;
    RunFlags runFlags;
    BackupRun run(runHost, RunPlatform{files, codePage, clock}, runFlags, u"K:\\Dokumente\\");
    ASSERT_TRUE(run.Repair(damaged));
    EXPECT_THAT(runHost.runLog, ElementsAre(u"Nicht kopiert: S:\\Daten\\Sub\\brief.txt",
                                            u"Fehler beim kopieren !!", u"10.12.2026 12:00:00"));
    EXPECT_TRUE(files.Find(u"K:\\Dokumente\\Kelvorin.log"));
    EXPECT_EQ(files.Find(u"T:\\Daten\\Film.mp4")->bytes, kLarge);

    host.lines.clear();
    const CheckCounts counts = Check();
    EXPECT_THAT(host.lines, ElementsAre(u"Abweichend: T:\\Daten\\Sub\\brief.txt"));
    EXPECT_EQ(counts.problems, 1u);
    EXPECT_EQ(files.Find(u"S:\\Daten\\Sub\\brief.txt")->bytes, "Sehr geehrte Damen");
}

} // namespace
} // namespace kelvorin::testing
