#include "bench/Floor.h"

#include <cstdio>

namespace kelvorin::bench {

void PrintCounts(std::initializer_list<std::uint64_t> counts) {
    const char* separator = "";
    for (const std::uint64_t count : counts) {
        std::printf("%s%llu", separator, static_cast<unsigned long long>(count));
        separator = " ";
    }
    std::printf("\n");
}

} // namespace kelvorin::bench
