#pragma once
// Small facts of 16-bit text that the set file, the engine and the console
// program share.
#include <concepts>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

// A whole number in decimal digits, with a "-" when negative.
template <std::integral Number> std::u16string DecimalText(Number n) {
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

// The number that exactly `count` decimal digits at pos give; nullopt when
// any is no digit or the text ends before.
inline std::optional<int> DigitsAt(std::u16string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return std::nullopt;
    int n = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        n = n * 10 + (text[i] - u'0');
    }
    return n;
}

inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace kelvorin
