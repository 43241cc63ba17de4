// The set-file reader over any bytes: chunking never changes what is read, and
// what is read survives a save and a load unchanged.
#include "fuzz/FuzzInput.h"
#include "set/PathOrder.h"
#include "set/SetFileFormat.h"
#include "set/Windows1252CodePage.h"

#include <algorithm>
#include <initializer_list>

namespace kelvorin {
namespace {

const Windows1252CodePage kCodePage{};

struct Loaded {
    BackupSet set;
    int pendingDrive = 0;
};

// As LoadSet reads a file, with the bytes arriving in chunks of the given
// lengths, taken in turn. Feeding goes on after Ctrl-Z, which must change nothing.
Loaded Load(std::string_view bytes, std::initializer_list<std::size_t> chunks) {
    Loaded out;
    out.set.folders.Clear();
    out.set.exclusions.clear();
    SortedList workList;
    SetFileReader reader(kCodePage, out.set, workList);
    bool ctrlZSeen = false;
    for (auto chunk = chunks.begin(); !bytes.empty();) {
        const std::string_view part = bytes.substr(0, *chunk);
        bytes.remove_prefix(part.size());
        ctrlZSeen = ctrlZSeen || part.find('\x1A') != std::string_view::npos;
        FUZZ_CHECK(reader.Feed(part) == !ctrlZSeen);
        FUZZ_CHECK(reader.Ended() == ctrlZSeen);
        if (++chunk == chunks.end()) chunk = chunks.begin();
    }
    reader.Finish();
    FUZZ_CHECK(reader.Ended());
    out.pendingDrive = reader.PendingDrive();
    FinishLoadedSet(reader, out.set, workList);
    FUZZ_CHECK(workList.Count() == 0);
    return out;
}

bool SameSet(const Loaded& a, const Loaded& b) {
    return a.set.folders.Items() == b.set.folders.Items() && a.set.exclusions == b.set.exclusions &&
           a.set.DriveIndex() == b.set.DriveIndex() && a.set.synchron == b.set.synchron &&
           a.pendingDrive == b.pendingDrive;
}

std::vector<std::u16string> NonEmpty(std::vector<std::u16string> lines) {
    std::erase(lines, std::u16string());
    return lines;
}

// A line end or Ctrl-Z inside a value could not be written back as it was read.
bool FitsOnALine(std::u16string_view value) {
    return value.find_first_of(u"\r\n\x1A") == std::u16string_view::npos;
}

bool HasUpperAsciiLetter(std::u16string_view value) {
    return std::any_of(value.begin(), value.end(),
                       [](char16_t c) { return c >= u'A' && c <= u'Z'; });
}

} // namespace
} // namespace kelvorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvorin;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const Loaded whole = Load(bytes, {bytes.size() + 1});
    FUZZ_CHECK(SameSet(whole, Load(bytes, {1})));
    FUZZ_CHECK(SameSet(whole, Load(bytes, {1, 2, 3, 5, 8, 13})));
    // Nothing after Ctrl-Z is read, and a CR counts for nothing.
    const std::string_view beforeCtrlZ = bytes.substr(0, bytes.find('\x1A'));
    FUZZ_CHECK(SameSet(whole, Load(beforeCtrlZ, {beforeCtrlZ.size() + 1})));
    std::string withoutCr(beforeCtrlZ);
    std::erase(withoutCr, '\r');
    FUZZ_CHECK(SameSet(whole, Load(withoutCr, {withoutCr.size() + 1})));

    const BackupSet& set = whole.set;
    FUZZ_CHECK(set.DriveIndex() >= BackupSet::kNoDrive && set.DriveIndex() < DriveLetter::kCount);
    FUZZ_CHECK(std::is_sorted(set.folders.Items().begin(), set.folders.Items().end(), PathLess{}));
    FUZZ_CHECK(std::is_sorted(set.exclusions.begin(), set.exclusions.end(), PathLess{}));
    FUZZ_CHECK(std::all_of(set.folders.Items().begin(), set.folders.Items().end(), FitsOnALine));
    FUZZ_CHECK(std::all_of(set.exclusions.begin(), set.exclusions.end(), FitsOnALine));
    FUZZ_CHECK(std::none_of(set.exclusions.begin(), set.exclusions.end(), HasUpperAsciiLetter));

    // Saved and loaded again, the set is the same but for the empty entries,
    // which are not written; and saving that gives the same bytes.
    const std::string saved = FormatSetFile(set, kCodePage);
    const Loaded again = Load(saved, {saved.size() + 1});
    FUZZ_CHECK(again.set.folders.Items() == NonEmpty(set.folders.Items()));
    FUZZ_CHECK(again.set.exclusions == NonEmpty(set.exclusions));
    FUZZ_CHECK(again.set.DriveIndex() == set.DriveIndex());
    FUZZ_CHECK(again.set.synchron == set.synchron);
    FUZZ_CHECK(FormatSetFile(again.set, kCodePage) == saved);
    return 0;
}
