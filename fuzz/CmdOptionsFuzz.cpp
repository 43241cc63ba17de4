// The console program's options over any arguments: the input's pieces
// between NULs, one argument each.
#include "app/CmdOptions.h"
#include "app/CmdTexts.h"
#include "fuzz/FuzzInput.h"
#include "set/AsciiCase.h"

#include <algorithm>

namespace kelvorin {
namespace {

bool IsOption(std::u16string_view arg) {
    return arg.starts_with(u'/');
}

// A to Z, and the umlaut of "/Prüfen", in lower case.
std::u16string Lower(std::u16string_view arg) {
    std::u16string lower = AsciiLower(arg);
    for (char16_t& c : lower)
        if (c == u'Ü') c = u'ü';
    return lower;
}

bool IsKnown(const std::u16string& arg) {
    const std::u16string lower = Lower(arg);
    return lower == u"/vorschau" || lower == u"/prüfen" || lower == u"/reparieren" || arg == u"/?";
}

// The same outcome, though perhaps another error text.
bool SameOutcome(const CmdOptions& a, const CmdOptions& b) {
    return a.setNames == b.setNames && a.preview == b.preview && a.help == b.help &&
           a.check == b.check && a.repair == b.repair && a.error.empty() == b.error.empty();
}

} // namespace
} // namespace kelvorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvorin;
    const std::vector<std::u16string> args = fuzz::Pieces(fuzz::Utf16(data, size));
    const CmdOptions options = ParseCmdOptions(args);

    // Every argument that is no option is a set name, in the order given.
    std::vector<std::u16string> names;
    std::copy_if(args.begin(), args.end(), std::back_inserter(names),
                 [](const std::u16string& a) { return !IsOption(a); });
    FUZZ_CHECK(options.setNames == names);

    // The options in any case of A to Z; anything else after "/" is an error.
    const auto given = [&](std::u16string_view option) {
        return std::any_of(args.begin(), args.end(),
                           [&](const std::u16string& a) { return Lower(a) == option; });
    };
    FUZZ_CHECK(options.preview == given(u"/vorschau"));
    FUZZ_CHECK(options.help == given(u"/?"));
    FUZZ_CHECK(options.repair == given(u"/reparieren"));
    FUZZ_CHECK(options.check == (given(u"/prüfen") || options.repair));
    const auto unknown = [](const std::u16string& a) { return IsOption(a) && !IsKnown(a); };
    const bool wellFormed = names.size() <= 1 && std::none_of(args.begin(), args.end(), unknown);
    const bool usable = wellFormed && !(options.check && options.preview);
    FUZZ_CHECK(options.error.empty() == usable);

    // The error names the first argument that is wrong, unknown or one name
    // too many; else a check was asked for with a preview.
    if (!wellFormed) {
        std::size_t seenNames = 0;
        for (const auto& a : args) {
            if (unknown(a)) {
                FUZZ_CHECK(options.error == texts::kUnknownOption + a);
                break;
            }
            if (!IsOption(a) && ++seenNames == 2) {
                FUZZ_CHECK(options.error == texts::kSecondSetName + a);
                break;
            }
        }
    } else if (!usable) {
        FUZZ_CHECK(options.error == texts::kCheckNotWithPreview);
    }

    // The options' case does not matter, and the order only orders the names.
    std::vector<std::u16string> upper = args;
    for (auto& a : upper)
        if (IsOption(a)) a = AsciiUpper(a);
    FUZZ_CHECK(SameOutcome(ParseCmdOptions(upper), options));
    CmdOptions fromReversed = ParseCmdOptions({args.rbegin(), args.rend()});
    std::reverse(fromReversed.setNames.begin(), fromReversed.setNames.end());
    FUZZ_CHECK(SameOutcome(fromReversed, options));
    return 0;
}
