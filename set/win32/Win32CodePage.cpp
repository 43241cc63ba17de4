#include "set/win32/Win32CodePage.h"

#include <windows.h>

#include <climits>

namespace kelvorin {

unsigned Win32CodePage::Number() const {
    return GetACP();
}

std::string Win32CodePage::Encode(std::u16string_view text) const {
    if (text.empty() || text.size() > INT_MAX) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::u16string Win32CodePage::Decode(std::string_view bytes) const {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::u16string text(static_cast<std::size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()),
                        size);
    return text;
}

} // namespace kelvorin
