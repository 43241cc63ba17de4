#pragma once
// How far a long job of files is and how long it still takes: the share done,
// the speed and the time left, from its whole and what is done at a moment.
// The moments come from the caller's steady clock, in milliseconds.
#include <cstdint>
#include <deque>
#include <optional>

namespace kelvorin {

struct WorkAmount {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

class ProgressEstimate {
public:
    // Opening, stamping and closing a file cost about as long as moving this
    // many bytes: every file counts at least that much, so a job of empty
    // files moves too.
    static constexpr std::uint64_t kFileWeight = 64 * 1024;

    ProgressEstimate(WorkAmount whole, std::uint64_t now);

    void Update(WorkAmount done, std::uint64_t now);

    // From 0 to 1; a job of nothing is done.
    double Share() const;
    // Over the last minute, since a stick can stall for tens of seconds; none
    // in the first seconds, which tell nothing yet. No time left while
    // nothing has moved for a minute.
    std::optional<std::uint64_t> BytesPerSecond() const;
    std::optional<std::uint64_t> SecondsLeft() const;

private:
    struct Sample {
        std::uint64_t time, weight, bytes;
    };
    std::uint64_t WeightOf(WorkAmount amount) const;
    // The sample at or just before the window's start, or the first.
    const Sample* WindowStart() const;

    const WorkAmount whole_;
    const std::uint64_t started_;
    Sample now_;
    std::deque<Sample> samples_; // a few a second, the oldest just before the window
};

} // namespace kelvorin
