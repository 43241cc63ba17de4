// A state's listing over any bytes, as a stick that others can write may hold
// it. Whatever it says, the reader offers only plain paths inside its folders,
// and a restore of them writes only inside its own folder.
#include "engine/ListingFormat.h"
#include "engine/Restore.h"
#include "fuzz/FuzzInput.h"
#include "tests/support/MemoryFileServices.h"

#include <algorithm>

namespace kelvorin {
namespace {

constexpr char16_t kListing[] = u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00.txt";
constexpr char16_t kRestoreFolder[] = u"K:\\Zur\u00fcck";

bool InAFolder(const ListingHead& head, std::u16string_view path) {
    return std::any_of(head.folders.begin(), head.folders.end(),
                       [&](const ListedFolder& f) { return LiesIn(path, f.path); });
}

} // namespace
} // namespace kelvorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvorin;
    testing::MemoryFileServices files;
    files.AddDrive(u'T');
    files.AddFile(kListing, std::string(reinterpret_cast<const char*>(data), size), kNoStamp);

    ListingReader reader(files, kListing);
    const auto head = reader.ReadHead();
    std::uint64_t count = 0;
    if (head) {
        for (const ListedFolder& folder : head->folders)
            FUZZ_CHECK(IsPlainPath(folder.path));
        for (const std::u16string& gap : head->gaps)
            FUZZ_CHECK(IsPlainPath(gap) && InAFolder(*head, gap));
        for (ListedFile file; reader.Next(file); ++count) {
            FUZZ_CHECK(IsPlainPath(file.source) && InAFolder(*head, file.source));
            // Where a restore would write it: plainly inside its folder.
            const std::u16string to = RestoredPath(kRestoreFolder, file.source);
            const std::u16string_view base(kRestoreFolder);
            FUZZ_CHECK(to.starts_with(base) && to[base.size()] == u'\\' &&
                       IsPlainRelativePath(std::u16string_view(to).substr(base.size() + 1)));
        }
    }
    // The whole check agrees with a reading line by line.
    if (const auto checked = CheckListing(files, kListing)) {
        FUZZ_CHECK(head && reader.Whole() && *checked == count);
        FUZZ_CHECK(ReadListingEnd(files, kListing) == count);
    }
    return 0;
}
