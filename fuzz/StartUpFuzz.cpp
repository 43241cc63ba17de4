// The command line and the choice of the set file over any text. The input's
// pieces between NULs: the command line, then the documents folder (absent
// when there is no second piece); bit 0 of the first byte says whether the
// named file exists.
#include "app/StartUp.h"
#include "fuzz/FuzzInput.h"

#include <algorithm>

namespace kelvorin {
namespace {

// The part of WithIniExtension's result before ".ini" is the name itself, or
// the name less its extension: a dot and no ".", "\" or ":" after it.
void CheckIniName(std::u16string_view name) {
    const std::u16string ini = WithIniExtension(name);
    FUZZ_CHECK(ini.ends_with(u".ini"));
    const std::u16string_view stem = std::u16string_view(ini).substr(0, ini.size() - 4);
    FUZZ_CHECK(name.starts_with(stem));
    const std::u16string_view dropped = name.substr(stem.size());
    if (dropped.empty()) {
        const auto last = name.find_last_of(u".\\:");
        FUZZ_CHECK(last == std::u16string_view::npos || name[last] != u'.');
    } else {
        FUZZ_CHECK(dropped[0] == u'.');
        FUZZ_CHECK(dropped.find_first_of(u".\\:", 1) == std::u16string_view::npos);
    }
    FUZZ_CHECK(WithIniExtension(ini) == ini);
}

void CheckSplit(std::u16string_view line, std::u16string_view afterNul,
                const std::vector<std::u16string>& items) {
    for (const auto& item : items) {
        FUZZ_CHECK(!item.empty());
        FUZZ_CHECK(item.find_first_of(std::u16string_view(u"\"\0", 2)) == std::u16string::npos);
    }
    // Each item in quotes, however it was written, gives the same items back;
    // items without a separator in them need no quotes.
    std::u16string quoted, plain;
    bool separatorInside = false;
    for (const auto& item : items) {
        quoted += u"\"" + item + u"\" ";
        plain += item + u" ";
        separatorInside = separatorInside || std::any_of(item.begin(), item.end(), [](char16_t c) {
                              return c >= 1 && c <= 32;
                          });
    }
    FUZZ_CHECK(SplitCommandLine(quoted) == items);
    if (!separatorInside) FUZZ_CHECK(SplitCommandLine(plain) == items);
    // Blanks and "" where an item would begin are skipped.
    FUZZ_CHECK(SplitCommandLine(u" \t\"\"\x01" + std::u16string(line)) == items);
    // A NUL ends the line.
    FUZZ_CHECK(SplitCommandLine(std::u16string(line) + u'\0' + std::u16string(afterNul)) == items);
}

} // namespace
} // namespace kelvorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvorin;
    if (size == 0) return 0;
    const bool exists = data[0] & 1;
    const auto pieces = fuzz::Pieces(fuzz::Utf16(data + 1, size - 1));
    const std::u16string& line = pieces[0];
    std::optional<std::u16string> personal;
    if (pieces.size() > 1) personal = pieces[1];

    const std::vector<std::u16string> items = SplitCommandLine(line);
    CheckSplit(line, personal.value_or(u""), items);
    for (const auto& item : items)
        CheckIniName(item);

    const std::u16string dataDir = DataDirFrom(personal);
    FUZZ_CHECK(dataDir == (personal ? *personal : u"C:") + u"\\");

    // The program's item is not among the arguments.
    const std::vector<std::u16string> arguments(items.begin() + (items.empty() ? 0 : 1),
                                                items.end());
    std::vector<std::u16string> asked;
    const std::u16string path = SetFilePathFor(arguments, dataDir, [&](std::u16string_view p) {
        asked.emplace_back(p);
        return exists;
    });
    FUZZ_CHECK(asked.size() == 1);
    const std::u16string& name = asked[0];
    FUZZ_CHECK(name == (arguments.size() == 1 ? WithIniExtension(arguments[0]) : u"Kelvorin.ini"));
    FUZZ_CHECK(path == name || path == dataDir + name);
    if (exists) FUZZ_CHECK(path == name);
    // A name from the root of a drive is never put inside the documents folder.
    if (name.size() >= 3 && name[1] == u':' && name[2] == u'\\') FUZZ_CHECK(path == name);
    return 0;
}
