#pragma once
// Small facts of 16-bit text that the set file, the engine and the console
// program share.
#include <concepts>
#include <string>

namespace kelvorin {

// A whole number in decimal digits, with a "-" when negative.
template <std::integral Number> std::u16string DecimalText(Number n) {
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace kelvorin
