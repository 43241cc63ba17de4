// The copy pass's rules over any names. The input's first byte is the partial
// copy's variant; the rest, as pieces between NULs, is the file name (or the
// copy's path) and then the exclusion lines.
#include "engine/CopyRules.h"
#include "engine/Texts.h"
#include "fuzz/FuzzInput.h"
#include "set/AsciiCase.h"
#include "set/Text16.h"

#include <algorithm>

namespace kelvorin {
namespace {

constexpr std::size_t kMaxNameLength = 255;

bool WellPaired(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLowSurrogate(text[i])) return false;
        if (IsHighSurrogate(text[i])) {
            if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return false;
            ++i;
        }
    }
    return true;
}

void CheckExclusions(std::u16string_view name, const std::vector<std::u16string>& lines) {
    const bool excluded = IsExcluded(name, lines);
    // Each line decides on its own; its place among the others is of no account.
    const bool byAnyLine = std::any_of(
        lines.begin(), lines.end(), [&](const std::u16string& l) { return IsExcluded(name, {l}); });
    FUZZ_CHECK(excluded == byAnyLine);
    FUZZ_CHECK(!IsExcluded(name, {u""}));

    // Only the extension counts, and the case of its letters A to Z does not.
    const auto dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) {
        FUZZ_CHECK(!excluded);
        return;
    }
    const std::u16string_view extension = name.substr(dot);
    FUZZ_CHECK(IsExcluded(extension, lines) == excluded);
    FUZZ_CHECK(IsExcluded(AsciiUpper(name), lines) == excluded);
    FUZZ_CHECK(IsExcluded(AsciiLower(name), lines) == excluded);

    // The lowered extension and its latter half exclude the file.
    const std::u16string lowered = AsciiLower(extension);
    FUZZ_CHECK(IsExcluded(name, {lowered}));
    FUZZ_CHECK(IsExcluded(name, {lowered.substr(lowered.size() / 2)}));

    // Lines are used as they stand: one with a capital A to Z, or with a dot
    // after its start, never matches.
    for (const auto& line : lines) {
        const bool capital = std::any_of(line.begin(), line.end(),
                                         [](char16_t c) { return c >= u'A' && c <= u'Z'; });
        const bool innerDot = line.find(u'.', 1) != std::u16string::npos;
        if (capital || innerDot) FUZZ_CHECK(!IsExcluded(name, {line}));
    }
}

std::u16string TailFor(int variant) {
    std::u16string tail(kPartialCopyTail);
    if (variant == 0) return tail;
    const std::string number = "-" + std::to_string(variant + 1);
    return tail.substr(0, tail.size() - 4) + std::u16string(number.begin(), number.end()) + u".tmp";
}

void CheckPartialCopy(std::u16string_view backup, int variant) {
    const std::u16string path = PartialCopyPath(backup, variant);
    const std::size_t nameStart = backup.rfind(u'\\') + 1; // 0 without a backslash
    const std::u16string_view name = backup.substr(nameStart);

    // Beside the copy, under a name of its own that the system takes.
    FUZZ_CHECK(path.rfind(u'\\') + 1 == nameStart);
    FUZZ_CHECK(std::u16string_view(path).substr(0, nameStart) == backup.substr(0, nameStart));
    const std::u16string_view partial = std::u16string_view(path).substr(nameStart);
    FUZZ_CHECK(partial.size() <= kMaxNameLength);
    const std::u16string tail = TailFor(variant);
    FUZZ_CHECK(partial.ends_with(tail));

    // The copy's name, cut only as far as the limit needs, never inside a pair.
    const std::u16string_view kept = partial.substr(0, partial.size() - tail.size());
    FUZZ_CHECK(name.starts_with(kept));
    if (name.size() + tail.size() <= kMaxNameLength) {
        FUZZ_CHECK(kept == name);
    } else {
        FUZZ_CHECK(kept.size() + tail.size() >= kMaxNameLength - 1);
    }
    if (!kept.empty() && kept.size() < name.size())
        FUZZ_CHECK(!(IsHighSurrogate(kept.back()) && IsLowSurrogate(name[kept.size()])));
    if (WellPaired(name)) FUZZ_CHECK(WellPaired(partial));
}

} // namespace
} // namespace kelvorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvorin;
    if (size == 0) return 0;
    const int variant = data[0];
    auto pieces = fuzz::Pieces(fuzz::Utf16(data + 1, size - 1));
    const std::u16string name = pieces[0];
    pieces.erase(pieces.begin());

    CheckExclusions(name, pieces);
    CheckPartialCopy(name, variant);
    // The copy pass tries its variants in turn: each must name another file.
    std::vector<std::u16string> variants;
    for (int v = 0; v < 10; ++v)
        variants.push_back(PartialCopyPath(name, v));
    std::sort(variants.begin(), variants.end());
    FUZZ_CHECK(std::adjacent_find(variants.begin(), variants.end()) == variants.end());
    return 0;
}
