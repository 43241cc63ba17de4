#include "engine/ListingFormat.h"
#include "engine/Calendar.h"
#include "engine/SameStamp.h"
#include "engine/StateRecord.h"
#include "set/Text16.h"
#include "set/Utf8.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryFileServices.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

constexpr char16_t kListing[] = u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00.txt";
constexpr std::int64_t kOneHour = 3600 * kTicksPerSecond;

// A stick with its store, and the PC's local application data for the spool.
MemoryFileServices StickAndPc() {
    MemoryFileServices files;
    files.AddDrive(u'T');
    files.AddDrive(u'K');
    files.AddFolder(u"T:\\.Kelvorin-Versionen");
    return files;
}

FileTime TimeOf(int year, int month, int day, int hour, int minute, int second) {
    return FileTimeOfStamp(Stamp(year, month, day, hour, minute, second), 0);
}

struct ReadBack {
    ListingHead head;
    std::vector<ListedFile> files;
};
std::optional<ReadBack> ReadAll(FileServices& files, const std::u16string& path) {
    ListingReader reader(files, path);
    auto head = reader.ReadHead();
    if (!head) return std::nullopt;
    ReadBack read{std::move(*head), {}};
    for (ListedFile file; reader.Next(file);)
        read.files.push_back(file);
    if (!reader.Whole()) return std::nullopt;
    return read;
}

// A listing written through a record reads back as it was: names beyond
// ASCII and a lone surrogate, exact UTC times, the run's offset, the totals
// and gaps of the head. Cut anywhere, it reads as damaged.
TEST(Listing, ReadsBackWhatTheRecordWroteAndNothingOfAListingCutShort) {
    MemoryFileServices files = StickAndPc();
    const std::u16string odd = u"S:\\Daten\\\u00dcbersicht \u20ac\xD800.txt";
    const FileFacts copies[] = {
        {kNoStamp, 3, TimeOf(2026, 12, 1, 10, 0, 2) + 1234567},
        {kNoStamp, 0, TimeOf(1980, 1, 1, 0, 0, 0)},
        {kNoStamp, 5'000'000'000, TimeOf(2107, 12, 31, 23, 59, 58)},
    };
    const std::u16string sources[] = {u"S:\\Daten\\a.txt", odd, u"S:\\\\gross.bin"};
    {
        StateRecord record(files, u"K:\\Lokal\\spool.tmp", -2 * kOneHour);
        ASSERT_TRUE(record.Cover(u"S:\\Daten"));
        EXPECT_FALSE(record.Cover(u"s:\\daten")) << "one folder is covered once";
        record.Add(sources[0], copies[0]);
        record.Add(sources[1], copies[1]);
        record.Gap(u"S:\\Daten\\Gesperrt");
        ASSERT_TRUE(record.Cover(u"S:\\"));
        record.Add(sources[2], copies[2]);
        ASSERT_TRUE(record.WriteTo(kListing, u"2026-12-10 12.00.00"));
    }
    const auto read = ReadAll(files, kListing);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->head.offset, -2 * kOneHour);
    ASSERT_EQ(read->head.folders.size(), 2u);
    EXPECT_EQ(read->head.folders[0].path, u"S:\\Daten");
    EXPECT_EQ(read->head.folders[0].files, 2u);
    EXPECT_EQ(read->head.folders[0].bytes, 3u);
    EXPECT_EQ(read->head.folders[1].bytes, 5'000'000'000u);
    EXPECT_EQ(read->head.gaps, std::vector<std::u16string>{u"S:\\Daten\\Gesperrt"});
    ASSERT_EQ(read->files.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read->files[i].source, i == 2 ? u"S:\\gross.bin" : sources[i]);
        EXPECT_EQ(read->files[i].copy.size, copies[i].size);
        EXPECT_EQ(read->files[i].copy.time, copies[i].time);
        EXPECT_EQ(read->files[i].copy.local, StampOfFileTime(copies[i].time, -2 * kOneHour));
    }
    EXPECT_EQ(ReadListingEnd(files, kListing), 3u);
    EXPECT_EQ(CheckListing(files, kListing), 3u);

    const std::string bytes = files.Find(kListing)->bytes;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        files.AddFile(u"T:\\cut.txt", bytes.substr(0, cut), kNoStamp);
        EXPECT_FALSE(CheckListing(files, u"T:\\cut.txt")) << cut;
    }
}

// A listing of the first format: local stamps, no offset, no totals.
TEST(Listing, ReadsTheFirstFormat) {
    MemoryFileServices files = StickAndPc();
    files.AddFile(kListing,
                  "\xEF\xBB\xBF# Kelvorin: Stand nach dem Lauf 2026-12-10 12.00.00\r\n"
                  "Ordner\tS:\\\r\n"
                  "Datei\t3\t2026-12-01 10:00:02\tS:\\\\Daten\\a.txt\r\n"
                  "Ende\t1\r\n",
                  kNoStamp);
    const auto read = ReadAll(files, kListing);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->head.folders.at(0).files);
    ASSERT_EQ(read->files.size(), 1u);
    EXPECT_EQ(read->files[0].source, u"S:\\Daten\\a.txt");
    EXPECT_EQ(read->files[0].copy.time, kNoFileTime);
    EXPECT_EQ(read->files[0].copy.local, Stamp(2026, 12, 1, 10, 0, 2));
}

// A listing travels on a stick that others can write: any of these lines
// damages it whole, so that it offers no state.
TEST(Listing, IsDamagedByAnyLineThatNamesAPathOutsideItsFoldersOrNoPlainPath) {
    const std::string head = "# Kelvorin: Stand nach dem Lauf 2026-12-10 12.00.00\r\n"
                             "Versatz\t+60\r\n"
                             "Ordner\t1\t1\tR:\\Daten\r\n";
    const auto listing = [&](const std::string& path) {
        return head + "Datei\t1\t2026-12-01 09:00:00.0000000Z\t" + path + "\r\nEnde\t1\r\n";
    };
    MemoryFileServices files = StickAndPc();
    files.AddFile(kListing, listing("R:\\Daten\\Brief.txt"), kNoStamp);
    ASSERT_EQ(CheckListing(files, kListing), 1u) << "the control reads";

    const struct {
        const char* why;
        std::string bytes;
    } cases[] = {
        {"a way out of /Nach", listing("R:\\Daten\\..\\..\\..\\..\\Flucht.txt")},
        {"a part \".\"", listing("R:\\Daten\\.\\a.txt")},
        {"outside its folders", listing("R:\\Anderes\\a.txt")},
        {"a prefix that is no folder", listing("R:\\Daten2\\a.txt")},
        {"the folder itself", listing("R:\\Daten")},
        {"a stream after the drive", listing("R:\\Daten\\a.txt:versteckt")},
        {"a device", listing("R:\\Daten\\CON")},
        {"a device with an extension", listing("R:\\Daten\\com1.txt")},
        {"a character no name holds", listing("R:\\Daten\\a?.txt")},
        {"a control character", listing("R:\\Daten\\a\x01.txt")},
        {"a name ending in a dot", listing("R:\\Daten\\a.")},
        {"no drive", listing("Daten\\a.txt")},
        {"a folder that is no plain path", head + "Ordner\t0\t0\tR:\\..\r\nEnde\t0\r\n"},
        {"a gap outside its folders", head + "L\xC3\xBC"
                                             "cke\tR:\\Anderes\r\nEnde\t0\r\n"},
        {"totals that are not the lines'",
         "# x\r\nOrdner\t2\t1\tR:\\Daten\r\nDatei\t1\t2026-12-01 09:00:00.0000000Z\t"
         "R:\\Daten\\a\r\nEnde\t1\r\n"},
        {"a count that is not the lines'",
         head + "Datei\t1\t2026-12-01 09:00:00.0000000Z\tR:\\Daten\\a\r\nEnde\t2\r\n"},
        {"no date", head + "Datei\t1\tgestern\tR:\\Daten\\a\r\nEnde\t1\r\n"},
        {"an offset beyond a day", "# x\r\nVersatz\t+1500\r\nOrdner\tR:\\Daten\r\nEnde\t0\r\n"},
        {"a line of its own", head + "Befehl\tformat C:\r\nEnde\t0\r\n"},
        {"lines after the end", listing("R:\\Daten\\a.txt") + "Datei\t1\t2026-12-01 09:00:00."
                                                              "0000000Z\tR:\\Daten\\b\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        files.AddFile(kListing, c.bytes, kNoStamp);
        EXPECT_FALSE(CheckListing(files, kListing));
    }
}

// Beyond what memory holds, the lines wait in the spool on the PC. A write
// that fails for a full stick is tried again after room was made, and the
// second listing holds every line, spooled ones too.
TEST(Listing, SpoolsManyLinesOffTheStickAndWritesEveryOneWhenTriedAgain) {
    MemoryFileServices files = StickAndPc();
    const std::u16string spool = u"K:\\Lokal\\Kelvorin\\spool.tmp";
    constexpr int kFiles = 300'000;
    {
        StateRecord record(files, spool, 0);
        record.Cover(u"S:\\Daten");
        for (int i = 0; i < kFiles; ++i)
            record.Add(u"S:\\Daten\\Datei " + DecimalText(i) + u".txt",
                       {kNoStamp, static_cast<std::uint64_t>(i), TimeOf(2026, 12, 1, 10, 0, 2)});
        EXPECT_TRUE(files.Find(spool)) << "spilled";
        EXPECT_FALSE(files.Find(kListing)) << "nothing on the stick before the end";

        files.SetCapacity(u'T', 1 << 20);
        EXPECT_FALSE(record.WriteTo(kListing, u"2026-12-10 12.00.00"));
        EXPECT_EQ(record.Fault(), FileFault::DriveFull);
        EXPECT_FALSE(files.Find(kListing));
        files.SetCapacity(u'T', std::int64_t{1} << 40);
        ASSERT_TRUE(record.WriteTo(kListing, u"2026-12-10 12.00.00"));
    }
    EXPECT_FALSE(files.Find(spool)) << "the spool goes with the record";
    EXPECT_EQ(CheckListing(files, kListing), static_cast<std::uint64_t>(kFiles));
}

TEST(FileTimes, ReadBackAsWrittenAndOnlyInTheirShape) {
    const FileTime time = TimeOf(2026, 12, 1, 10, 0, 2) + 1234567;
    std::string text;
    AppendFileTimeText(text, time);
    EXPECT_EQ(text, "2026-12-01 10:00:02.1234567Z");
    EXPECT_EQ(FileTimeFromText(u"2026-12-01 10:00:02.1234567Z"), time);
    EXPECT_EQ(StampOfFileTime(time, kOneHour), Stamp(2026, 12, 1, 11, 0, 2));
    for (const char16_t* bad : {u"2026-12-01 10:00:02.1234567", u"2026-02-30 10:00:02.0000000Z",
                                u"2026-12-01 24:00:02.0000000Z", u"2026-12-01 10:00:02Z"})
        EXPECT_FALSE(FileTimeFromText(bad)) << Narrow(bad);
}

// The restore's question: is the copy found now the one listed?
TEST(SameStamp, TakesACopyForTheListedOneByItsMomentOrByItsLocalTimeAtTheRun) {
    const FileTime time = TimeOf(2026, 7, 1, 8, 0, 0);
    const std::int64_t summer = 2 * kOneHour, winter = kOneHour;
    const ListedCopy listed{10, time, StampOfFileTime(time, summer)};
    const struct {
        const char* why;
        FileFacts found;
        bool same;
    } cases[] = {
        {"NTFS or exFAT in winter: the moment holds",
         {StampOfFileTime(time, winter), 10, time},
         true},
        {"FAT in winter, read through today's offset: the local time holds",
         {StampOfFileTime(time, summer), 10, time + kOneHour},
         true},
        {"another size", {StampOfFileTime(time, summer), 11, time}, false},
        {"another moment and local time",
         {StampOfFileTime(time + 2 * kOneHour, winter), 10, time + 2 * kOneHour},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(IsListedCopy(c.found, listed), c.same);
    }
    const ListedCopy firstFormat{10, kNoFileTime, Stamp(2026, 7, 1, 10, 0, 0)};
    EXPECT_TRUE(IsListedCopy({Stamp(2026, 7, 1, 10, 0, 0), 10, time}, firstFormat));
    EXPECT_FALSE(IsListedCopy({Stamp(2026, 7, 1, 11, 0, 0), 10, time}, firstFormat));
}

} // namespace
} // namespace kelvorin::testing
