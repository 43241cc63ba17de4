#pragma once
// The core's UTF-16 strings and Windows' wide strings hold the same 16-bit
// code units; these copy one into the other.
#include <string>
#include <string_view>

namespace kelvorin {

inline std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

inline std::u16string U16(std::wstring_view text) {
    return {text.begin(), text.end()};
}

} // namespace kelvorin
