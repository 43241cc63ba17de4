#include "app/ProgressLine.h"

#include "app/CmdTexts.h"

namespace kelvorin {
namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;

// Tenths of the unit, cut rather than rounded, so that a job shows its whole
// only once it is done.
std::u16string UnitText(std::uint64_t bytes, std::uint64_t unit, bool tenths) {
    if (!tenths) return GroupedText(bytes / unit);
    const std::uint64_t n = bytes * 10 / unit;
    return GroupedText(n / 10) + u',' + static_cast<char16_t>(u'0' + n % 10);
}

// One decimal below 100 of the unit, where it still tells something.
bool WithTenths(std::uint64_t bytes, std::uint64_t unit) {
    return bytes < 100 * unit;
}

// In coarse steps, so that the figure does not flicker: 5 s, a minute, 5
// minutes below 10 h, then hours.
std::u16string TimeText(std::uint64_t seconds) {
    const auto up = [](std::uint64_t n, std::uint64_t step) {
        return (n + step - 1) / step * step;
    };
    if (seconds < 60) {
        seconds = up(seconds, 5);
        if (seconds < 60) return GroupedText(seconds) + texts::kProgressSeconds;
    }
    const std::uint64_t minutes = up(seconds, 60) / 60;
    if (minutes < 60) return GroupedText(minutes) + texts::kProgressMinutes;
    if (minutes < 600) {
        const std::uint64_t steps = up(minutes, 5);
        std::u16string text = GroupedText(steps / 60) + texts::kProgressHours;
        if (steps % 60) text += u' ' + GroupedText(steps % 60) + texts::kProgressMinutes;
        return text;
    }
    return GroupedText(up(minutes, 60) / 60) + texts::kProgressHours;
}

} // namespace

std::u16string GroupedText(std::uint64_t n) {
    std::u16string digits;
    for (int i = 0; i == 0 || n > 0; ++i, n /= 10) {
        if (i > 0 && i % 3 == 0) digits.insert(digits.begin(), u'.');
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    }
    return digits;
}

std::u16string ProgressLine(const ProgressFigures& f) {
    std::u16string line;
    if (f.whole.files > 0)
        line += GroupedText(f.done.files) + texts::kProgressOf + GroupedText(f.whole.files) +
                texts::kProgressFiles + u", ";
    // The whole picks the unit, so that both figures share it.
    std::uint64_t unit = kMegabyte;
    const char16_t* unitName = texts::kProgressMegabytes;
    if (f.whole.bytes >= kMegabyte * 1024 * 1024) {
        unit = kMegabyte * 1024 * 1024;
        unitName = texts::kProgressTerabytes;
    } else if (f.whole.bytes >= kMegabyte * 1024) {
        unit = kMegabyte * 1024;
        unitName = texts::kProgressGigabytes;
    }
    const bool tenths = WithTenths(f.whole.bytes, unit);
    line += UnitText(f.done.bytes, unit, tenths) + texts::kProgressOf +
            UnitText(f.whole.bytes, unit, tenths) + unitName;
    if (f.bytesPerSecond) {
        // Whole megabytes from 10 on, where tenths would only flicker.
        const std::uint64_t speed = *f.bytesPerSecond;
        line += u", " + UnitText(speed, kMegabyte, speed < 10 * kMegabyte) +
                texts::kProgressMegabytes + texts::kProgressPerSecond;
    }
    if (f.secondsLeft) line += texts::kProgressLeft + TimeText(*f.secondsLeft);
    return line;
}

} // namespace kelvorin
