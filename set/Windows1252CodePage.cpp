#include "set/Windows1252CodePage.h"
#include "set/Text16.h"

namespace kelvorin {

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

char16_t DecodeByte(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
}

int EncodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return 0x80 + i;
    return -1;
}

} // namespace

std::string Windows1252CodePage::Encode(std::u16string_view text) const {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int b = EncodeChar(text[i]);
        if (b >= 0) {
            bytes += static_cast<char>(b);
            continue;
        }
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
        bytes += '?';
    }
    return bytes;
}

std::u16string Windows1252CodePage::Decode(std::string_view bytes) const {
    std::u16string text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text += DecodeByte(static_cast<unsigned char>(b));
    return text;
}

} // namespace kelvorin
