#pragma once
// The progress line of a run, a check or a restore on a console, in German
// digits: "1.234 von 20.000 Dateien, 0,4 von 4,8 GB, 23 MB/s, noch 3 min".
// It fits the console's 78 columns with room to spare for a path.
#include "engine/ProgressEstimate.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelvorin {

struct ProgressFigures {
    WorkAmount done, whole; // without files, the line tells bytes alone
    std::optional<std::uint64_t> bytesPerSecond, secondsLeft;
};

std::u16string ProgressLine(const ProgressFigures& figures);

// "20.000": the digits in groups of three.
std::u16string GroupedText(std::uint64_t n);

} // namespace kelvorin
