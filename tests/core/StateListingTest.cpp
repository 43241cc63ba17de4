#include "engine/StateListing.h"

#include "set/Text16.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryFileServices.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

// A stick with its store, and the PC's documents drive for the spool.
MemoryFileServices StickAndPc() {
    MemoryFileServices files;
    files.AddDrive(u'T');
    files.AddDrive(u'K');
    files.AddFolder(u"T:\\.Kelvorin-Versionen");
    return files;
}

// A listing written through a record reads back as it was, names beyond
// ASCII and a lone surrogate included; cut anywhere, it reads as nothing.
TEST(StateListing, ReadsBackWhatTheRecordWroteAndNothingOfAListingCutShort) {
    MemoryFileServices files = StickAndPc();
    const std::u16string odd = u"S:\\Daten\\\u00dcbersicht \u20ac\xD800.txt";
    const ListedFile listed[] = {
        {u"S:\\Daten\\a.txt", {Stamp(2026, 12, 1, 10, 0, 2), 3}},
        {odd, {Stamp(1980, 1, 1, 0, 0, 0), 0}},
        {u"S:\\Daten\\gross.bin", {kNoStamp, 5'000'000'000}},
    };
    const std::u16string path = u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00.txt";
    {
        StateRecord record(files, u"K:\\spool.tmp");
        record.Cover(u"S:\\Daten");
        for (const ListedFile& file : listed)
            record.Add(file.source, file.copy);
        ASSERT_TRUE(record.WriteTo(path, u"2026-12-10 12.00.00"));
    }
    const auto read = ReadListing(files, path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->folders, std::vector<std::u16string>{u"S:\\Daten"});
    ASSERT_EQ(read->files.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read->files[i].source, listed[i].source);
        EXPECT_EQ(read->files[i].copy.stamp, listed[i].copy.stamp);
        EXPECT_EQ(read->files[i].copy.size, listed[i].copy.size);
    }
    const std::string bytes = files.Find(path)->bytes;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(ParseListing(std::string_view(bytes).substr(0, cut))) << cut;
}

// Beyond what memory holds, the lines wait in the spool on the PC; the
// listing is whole, and the spool goes.
TEST(StateListing, SpoolsManyLinesOffTheStickAndRemovesTheSpool) {
    MemoryFileServices files = StickAndPc();
    const std::u16string path = u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00.txt";
    constexpr int kFiles = 300'000;
    {
        StateRecord record(files, u"K:\\spool.tmp");
        record.Cover(u"S:\\Daten");
        for (int i = 0; i < kFiles; ++i)
            record.Add(u"S:\\Daten\\Datei " + DecimalText(i) + u".txt",
                       {Stamp(2026, 12, 1, 10, 0, 2), static_cast<std::uint64_t>(i)});
        EXPECT_TRUE(files.Find(u"K:\\spool.tmp")) << "spilled";
        EXPECT_FALSE(files.Find(path)) << "nothing on the stick before the end";
        ASSERT_TRUE(record.WriteTo(path, u"2026-12-10 12.00.00"));
    }
    EXPECT_FALSE(files.Find(u"K:\\spool.tmp"));
    const auto read = ReadListing(files, path);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->files.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(read->files.back().copy.size, static_cast<std::uint64_t>(kFiles - 1));
}

TEST(StateListing, WritesAStampAsADateAndReadsOnlyThatShape) {
    EXPECT_EQ(StampText(Stamp(2026, 12, 1, 10, 0, 2)), u"2026-12-01 10:00:02");
    EXPECT_EQ(StampFromText(u"2026-12-01 10:00:02"), Stamp(2026, 12, 1, 10, 0, 2));
    for (const DosStamp stamp : {kNoStamp, DosStamp{0}, DosStamp{0x7FFFFFFF}})
        EXPECT_EQ(StampFromText(StampText(stamp)), stamp) << stamp;
    for (const char16_t* text : {u"2026-12-01 10:00:03", u"2026-12-01 10.00.02", u"2026-12-01",
                                 u"1979-12-01 10:00:02", u" 2026-12-01 10:00:02"})
        EXPECT_FALSE(StampFromText(text)) << Narrow(text);
}

} // namespace
} // namespace kelvorin::testing
