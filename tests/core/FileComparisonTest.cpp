// The comparer of a check, over a file system in memory.
#include "engine/FileComparison.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/MemoryFileServices.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kelvorin::testing {
namespace {

constexpr DosStamp kStamp = 0x5A8A6000;

// Answers each drive's own sector size and counts the questions; notes which
// drives' backups are opened past the cache.
class SectorCounter : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    std::uint32_t SectorSize(std::u16string_view path) override {
        ++asked[path[0]];
        // U:'s sectors are larger than the comparer's alignment: read through the cache.
        return path[0] == u'U' ? 8192 : 512;
    }
    Handle OpenUncached(std::u16string_view path) override {
        ++uncached[path[0]];
        return ForwardingFileServices::OpenUncached(path);
    }

    std::map<char16_t, int> asked, uncached;
};

// Under Wine a volume's sector size costs about as much as opening a small
// file; a check of thousands asks it once per drive, and each drive keeps its
// own answer.
TEST(FileComparerTest, AsksEachDriveForItsSectorSizeOnce) {
    MemoryFileServices memory;
    for (const char16_t drive : {u'S', u'T', u'U'})
        memory.AddDrive(drive);
    // The backups' drives alternate, so that only remembering every drive helps.
    const std::u16string backups[] = {u"T:\\a.txt", u"U:\\b.txt", u"T:\\c.txt", u"U:\\d.txt",
                                      u"T:\\Sub\\e.txt"};
    for (const std::u16string& backup : backups) {
        memory.AddFile(u"S" + backup.substr(1), "Inhalt " + std::string(1, char(backup[3])),
                       kStamp);
        memory.AddFile(backup, "Inhalt " + std::string(1, char(backup[3])), kStamp);
    }
    SectorCounter files(memory);
    FileComparer comparer(files);
    for (const std::u16string& backup : backups) {
        SCOPED_TRACE(std::string(backup.begin(), backup.end()));
        EXPECT_EQ(comparer.Compare(u"S" + backup.substr(1), backup, 8,
                                   [](std::uint64_t) { return true; }),
                  Comparison::Equal);
    }
    EXPECT_EQ(files.asked, (std::map<char16_t, int>{{u'T', 1}, {u'U', 1}}));
    EXPECT_EQ(files.uncached, (std::map<char16_t, int>{{u'T', 3}}));
}

} // namespace
} // namespace kelvorin::testing
