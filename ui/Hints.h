#pragma once
// A hint is one text "short|long": the tooltip shows the part before the first
// "|", the status bar the part after it; a hint without "|" serves as both.
#include <string>
#include <string_view>

namespace kelvorin::ui {

inline std::wstring ShortHint(std::wstring_view hint) {
    return std::wstring(hint.substr(0, hint.find(L'|')));
}

inline std::wstring LongHint(std::wstring_view hint) {
    const auto bar = hint.find(L'|');
    return std::wstring(bar == std::wstring_view::npos ? hint : hint.substr(bar + 1));
}

} // namespace kelvorin::ui
