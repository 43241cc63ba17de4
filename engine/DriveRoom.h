#pragma once
// The room a target drive must have for a run: with no more free, "Sichern"
// stays disabled, and the store gives way at a run's end to keep the drive above it.
#include <cstdint>

namespace kelvorin {

inline constexpr std::int64_t kLeastFreeBytes = 1'000'000;

// freeBytes -1 (unknown) has no room.
inline bool HasRoomForARun(std::int64_t freeBytes) {
    return freeBytes > kLeastFreeBytes;
}

} // namespace kelvorin
