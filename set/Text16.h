#pragma once
// Small facts of 16-bit text that the set file, the engine and the console
// program share.
#include <array>
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

// The six numbers of a text shaped as `shape`, "0000-00-00 00.00.00" or the
// like: each '0' a digit, every other character itself, the numbers at the
// places of year, month, day, hour, minute and second. nullopt for any other text.
inline std::optional<std::array<int, 6>> DateTimeFields(std::u16string_view text,
                                                        std::u16string_view shape) {
    if (text.size() != shape.size() || shape.size() != 19) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] != u'0' && text[i] != shape[i]) return std::nullopt;
    std::array<int, 6> fields{};
    constexpr std::size_t kAt[] = {0, 5, 8, 11, 14, 17};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<int> n = DigitsAt(text, kAt[i], i == 0 ? 4 : 2);
        if (!n) return std::nullopt;
        fields[i] = *n;
    }
    return fields;
}

inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace kelvorin
