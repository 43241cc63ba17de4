#pragma once
// The source files that the copy pass's walks listed. "Synchron" keeps their
// backups without asking the source once more for each: on a large tree that
// second look-up per file cost as much as the copy pass's own.
//
// Kept as case-blind 64-bit hashes, 8 bytes a file. Two paths that share a
// hash only keep a backup that could have gone; they never remove one.
#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvorin {

class ListedSources {
public:
    void Add(std::u16string_view source);
    bool Contains(std::u16string_view source);

private:
    static std::uint64_t KeyOf(std::u16string_view path);

    std::vector<std::uint64_t> keys_;
    bool sorted_ = true;
};

} // namespace kelvorin
