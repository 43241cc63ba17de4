#pragma once
// Dates as numbers, in the proleptic Gregorian calendar and without a time
// zone: run names and moments count local seconds, file times UTC ticks.
#include "engine/FileServices.h"
#include "engine/LocalClock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kTicksPerSecond = 10'000'000;

int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Seconds from a fixed day; the time of such a count back.
std::int64_t MomentOf(const LocalTime& t);
LocalTime TimeOfMoment(std::int64_t moment);

// A file time (UTC ticks since 1601) moved by `offset` ticks, as a stamp:
// the local stamp of a UTC time is StampOfFileTime(utc, local minus UTC).
DosStamp StampOfFileTime(FileTime time, std::int64_t offset);
// The file time of a stamp read as UTC shifted by -offset; kNoFileTime for
// kNoStamp or fields that are no date.
FileTime FileTimeOfStamp(DosStamp stamp, std::int64_t offset);

// "2026-12-09 16:41:06.1234567Z", and back: nullopt for anything but such a text.
void AppendFileTimeText(std::string& out, FileTime time);
std::optional<FileTime> FileTimeFromText(std::u16string_view text);

} // namespace kelvorin
