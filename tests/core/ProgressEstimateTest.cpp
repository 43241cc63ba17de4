#include "engine/ProgressEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace kelvorin {
namespace {

constexpr double kMB = 1024.0 * 1024.0;

// A stretch of a job at a steady pace.
struct Stretch {
    int seconds;
    double filesPerSecond, bytesPerSecond;
};

TEST(ProgressEstimate, FollowsTheLastMinuteOfAJob) {
    struct Case {
        const char* name;
        WorkAmount whole;
        std::vector<Stretch> stretches;
        double share;
        std::optional<double> bytesPerSecond;
        std::optional<double> secondsLeft;
    } const cases[] = {
        {"a steady rate", {1000, 1000 * 1024 * 1024}, {{30, 10, 10 * kMB}}, 0.3, 10 * kMB, 70},
        {"no figures in the first 5 s",
         {1000, 1000 * 1024 * 1024},
         {{4, 10, 10 * kMB}},
         0.04,
         {},
         {}},
        // Over a minute the stall lowers the pace, but leaves a time to show.
        {"a stall of 40 s",
         {1000, 1000 * 1024 * 1024},
         {{60, 10, 10 * kMB}, {40, 0, 0}},
         0.6,
         200 * kMB / 60,
         120},
        // 10 files of 100 MB, then 10,000 of 1 KB: the bytes alone would call
        // the job done when half of its files are still to come.
        {"a burst of small files after large ones",
         {10 + 10000, 1000 * 1024 * 1024 + 10000 * 1024},
         {{100, 0.1, 10 * kMB}, {20, 250, 250 * 1024}},
         0.806,
         (400 * kMB + 5000 * 1024) / 60,
         26.5},
        {"zero bytes", {100000, 0}, {{10, 1000, 0}}, 0.1, 0, 90},
        {"nothing to do", {0, 0}, {{10, 0, 0}}, 1.0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint64_t now = 1'000'000; // any steady clock
        ProgressEstimate estimate(c.whole, now);
        double files = 0, bytes = 0;
        for (const Stretch& s : c.stretches) {
            for (int tenth = 0; tenth < s.seconds * 10; ++tenth) {
                now += 100;
                files += s.filesPerSecond / 10;
                bytes += s.bytesPerSecond / 10;
                estimate.Update({static_cast<std::uint64_t>(std::floor(files + 1e-9)),
                                 static_cast<std::uint64_t>(bytes)},
                                now);
            }
        }
        EXPECT_NEAR(estimate.Share(), c.share, 0.005);
        const auto speed = estimate.BytesPerSecond();
        ASSERT_EQ(speed.has_value(), c.bytesPerSecond.has_value());
        if (speed) {
            EXPECT_NEAR(static_cast<double>(*speed), *c.bytesPerSecond,
                        0.01 * *c.bytesPerSecond + 1);
        }
        const auto left = estimate.SecondsLeft();
        ASSERT_EQ(left.has_value(), c.secondsLeft.has_value());
        if (left) {
            EXPECT_NEAR(static_cast<double>(*left), *c.secondsLeft, 2);
        }
    }
}

} // namespace
} // namespace kelvorin
