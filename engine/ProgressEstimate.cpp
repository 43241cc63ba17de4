#include "engine/ProgressEstimate.h"

#include <algorithm>
#include <cmath>

namespace kelvorin {
namespace {

constexpr std::uint64_t kWindowMilliseconds = 60'000;
constexpr std::uint64_t kFirstFigureMilliseconds = 5'000;
// Enough samples that the window's start is met closely, few enough to keep.
constexpr std::uint64_t kSampleSpacingMilliseconds = 250;

} // namespace

ProgressEstimate::ProgressEstimate(WorkAmount whole, std::uint64_t now)
    : whole_(whole), started_(now), now_{now, 0, 0} {
    samples_.push_back(now_);
}

std::uint64_t ProgressEstimate::WeightOf(WorkAmount amount) const {
    return amount.bytes + amount.files * kFileWeight;
}

void ProgressEstimate::Update(WorkAmount done, std::uint64_t now) {
    now_ = {now, WeightOf(done), done.bytes};
    if (now - samples_.back().time >= kSampleSpacingMilliseconds) samples_.push_back(now_);
    while (samples_.size() > 1 && samples_[1].time + kWindowMilliseconds <= now)
        samples_.pop_front();
}

double ProgressEstimate::Share() const {
    const std::uint64_t whole = WeightOf(whole_);
    if (whole == 0) return 1.0;
    return std::min(1.0, static_cast<double>(now_.weight) / static_cast<double>(whole));
}

const ProgressEstimate::Sample* ProgressEstimate::WindowStart() const {
    if (now_.time - started_ < kFirstFigureMilliseconds) return nullptr;
    return &samples_.front();
}

std::optional<std::uint64_t> ProgressEstimate::BytesPerSecond() const {
    const Sample* start = WindowStart();
    if (!start) return std::nullopt;
    // A copy tried again after room was made counts its bytes once.
    if (now_.bytes <= start->bytes) return 0;
    return (now_.bytes - start->bytes) * 1000 / (now_.time - start->time);
}

std::optional<std::uint64_t> ProgressEstimate::SecondsLeft() const {
    const Sample* start = WindowStart();
    if (!start || now_.weight <= start->weight) return std::nullopt;
    const std::uint64_t whole = WeightOf(whole_);
    const std::uint64_t left = whole > now_.weight ? whole - now_.weight : 0;
    const double perMillisecond = static_cast<double>(now_.weight - start->weight) /
                                  static_cast<double>(now_.time - start->time);
    return static_cast<std::uint64_t>(std::ceil(static_cast<double>(left) / perMillisecond / 1000));
}

} // namespace kelvorin
