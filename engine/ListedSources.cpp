#include "engine/ListedSources.h"

#include "set/PathOrder.h"

#include <algorithm>

namespace kelvorin {

std::uint64_t ListedSources::KeyOf(std::u16string_view path) {
    // FNV-1a over the folded characters.
    std::uint64_t key = 0xcbf29ce484222325u;
    for (const char16_t c : path) {
        key = (key ^ static_cast<std::uint16_t>(FoldCase(c))) * 0x100000001b3u;
    }
    return key;
}

void ListedSources::Add(std::u16string_view source) {
    keys_.push_back(KeyOf(source));
    sorted_ = false;
}

bool ListedSources::Contains(std::u16string_view source) {
    // Every Add comes before the first question: one sort.
    if (!sorted_) {
        std::sort(keys_.begin(), keys_.end());
        sorted_ = true;
    }
    return std::binary_search(keys_.begin(), keys_.end(), KeyOf(source));
}

} // namespace kelvorin
