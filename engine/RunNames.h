#pragma once
// The names of a run's parts in the store: its start in local time,
// "JJJJ-MM-TT hh.mm.ss", with " (n)" for the n-th run in the same second.
#include "engine/LocalClock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

// The name for a run that started at t, without a suffix.
std::u16string RunFolderName(const LocalTime& t);
// The name of the n-th run of that second: n from 1, at most kMostRunsPerSecond.
std::u16string RunFolderName(const LocalTime& t, int n);
// Names this program makes go up to " (999)"; a longer number, from another
// version or a hand, still names a run that ages, as long as it fits an int.
constexpr int kMostRunsPerSecond = 999;

struct RunNameParts {
    std::int64_t moment; // local seconds, as MomentOf counts them
    int number;          // within its second: 1, or n for " (n)"
};
// nullopt for any other name.
std::optional<RunNameParts> ReadRunName(std::u16string_view name);
inline std::optional<std::int64_t> RunFolderMoment(std::u16string_view name) {
    const auto parts = ReadRunName(name);
    return parts ? std::optional(parts->moment) : std::nullopt;
}

} // namespace kelvorin
