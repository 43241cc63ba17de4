#pragma once
// What the fuzz targets share: how input bytes become text, and how a broken
// property ends the run so that libFuzzer keeps the input and the corpus
// replay fails on it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kelvorin::fuzz {

// Two bytes, the low one first, make one UTF-16 code unit; an odd last byte is
// dropped. Every code unit can occur, lone surrogates too, as in Windows names.
inline std::u16string Utf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return text;
}

// The pieces between NULs: no name, line or command-line item holds a NUL.
inline std::vector<std::u16string> Pieces(std::u16string_view text) {
    std::vector<std::u16string> pieces;
    for (;;) {
        const auto nul = text.find(u'\0');
        pieces.emplace_back(text.substr(0, nul));
        if (nul == std::u16string_view::npos) return pieces;
        text.remove_prefix(nul + 1);
    }
}

[[noreturn]] inline void Broken(const char* property, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
    std::abort();
}

} // namespace kelvorin::fuzz

#define FUZZ_CHECK(property)                                                                       \
    ((property) ? void(0) : ::kelvorin::fuzz::Broken(#property, __FILE__, __LINE__))
