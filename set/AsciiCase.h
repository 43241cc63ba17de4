#pragma once
// Letter case as the set file and the exclusions know it: only A to Z and
// a to z change; umlauts and every other character stay as they are.
#include <string>
#include <string_view>

namespace kelvorin {

inline std::u16string AsciiUpper(std::u16string_view text) {
    std::u16string result(text);
    for (auto& c : result)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    return result;
}

inline std::u16string AsciiLower(std::u16string_view text) {
    std::u16string result(text);
    for (auto& c : result)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return result;
}

} // namespace kelvorin
