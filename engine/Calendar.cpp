#include "engine/Calendar.h"

#include "set/Text16.h"

namespace kelvorin {
namespace {

// Days from 1 March of year 0: March first makes the leap day the year's last.
std::int64_t DayNumber(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146'097 + dayOfEra;
}

struct Date {
    int year, month, day;
};

Date DateOfDayNumber(std::int64_t days) {
    const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const auto dayOfEra = static_cast<int>(days - era * 146'097);
    const int yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    const auto year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// The moment of 1601-01-01 00:00:00, where file times count from.
const std::int64_t kFileTimeEpoch = DayNumber(1601, 1, 1) * kSecondsPerDay;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

void AppendDigits(std::string& out, std::int64_t n, int count) {
    char digits[20];
    for (int i = count - 1; i >= 0; --i, n /= 10)
        digits[i] = static_cast<char>('0' + n % 10);
    out.append(digits, static_cast<std::size_t>(count));
}

} // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::int64_t MomentOf(const LocalTime& t) {
    return DayNumber(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
           t.second;
}

LocalTime TimeOfMoment(std::int64_t moment) {
    const std::int64_t days = FloorDiv(moment, kSecondsPerDay);
    const auto second = static_cast<int>(moment - days * kSecondsPerDay);
    const Date d = DateOfDayNumber(days);
    return {d.year, d.month, d.day, second / 3600, second / 60 % 60, second % 60, 0};
}

DosStamp StampOfFileTime(FileTime time, std::int64_t offset) {
    if (time == kNoFileTime) return kNoStamp;
    const std::int64_t ticks = static_cast<std::int64_t>(time) + offset;
    const LocalTime t = TimeOfMoment(FloorDiv(ticks, kTicksPerSecond) + kFileTimeEpoch);
    if (t.year < 1980 || t.year > 2107) return kNoStamp;
    const auto field = [](int n) { return static_cast<std::uint32_t>(n); };
    return static_cast<DosStamp>((field(t.year - 1980) << 25) | (field(t.month) << 21) |
                                 (field(t.day) << 16) | (field(t.hour) << 11) |
                                 (field(t.minute) << 5) | field(t.second / 2));
}

FileTime FileTimeOfStamp(DosStamp stamp, std::int64_t offset) {
    if (stamp == kNoStamp) return kNoFileTime;
    const auto v = static_cast<std::uint32_t>(stamp);
    const LocalTime t{static_cast<int>(1980 + (v >> 25)),
                      static_cast<int>((v >> 21) & 15),
                      static_cast<int>((v >> 16) & 31),
                      static_cast<int>((v >> 11) & 31),
                      static_cast<int>((v >> 5) & 63),
                      static_cast<int>((v & 31) * 2),
                      0};
    if (!IsValidDate(t.year, t.month, t.day) || t.hour > 23 || t.minute > 59 || t.second > 59)
        return kNoFileTime;
    return static_cast<FileTime>((MomentOf(t) - kFileTimeEpoch) * kTicksPerSecond - offset);
}

void AppendFileTimeText(std::string& out, FileTime time) {
    const auto ticks = static_cast<std::int64_t>(time);
    const LocalTime t = TimeOfMoment(ticks / kTicksPerSecond + kFileTimeEpoch);
    // Each field after its separator: "2026-12-09 16:41:06.1234567Z".
    const struct {
        char before;
        std::int64_t value;
        int digits;
    } fields[] = {{0, t.year, 4},
                  {'-', t.month, 2},
                  {'-', t.day, 2},
                  {' ', t.hour, 2},
                  {':', t.minute, 2},
                  {':', t.second, 2},
                  {'.', ticks % kTicksPerSecond, 7}};
    for (const auto& field : fields) {
        if (field.before) out += field.before;
        AppendDigits(out, field.value, field.digits);
    }
    out += 'Z';
}

std::optional<FileTime> FileTimeFromText(std::u16string_view text) {
    constexpr std::u16string_view kShape = u"0000-00-00 00:00:00";
    constexpr std::size_t kFraction = 7;
    if (text.size() != kShape.size() + 1 + kFraction + 1 || text[kShape.size()] != u'.' ||
        text.back() != u'Z')
        return std::nullopt;
    const auto fields = DateTimeFields(text.substr(0, kShape.size()), kShape);
    const auto fraction = DigitsAt(text, kShape.size() + 1, kFraction);
    if (!fields || !fraction) return std::nullopt;
    const auto [year, month, day, hour, minute, second] = *fields;
    if (year < 1601 || !IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const std::int64_t seconds =
        MomentOf({year, month, day, hour, minute, second, 0}) - kFileTimeEpoch;
    const std::int64_t ticks = seconds * kTicksPerSecond + *fraction;
    if (ticks <= 0) return std::nullopt;
    return static_cast<FileTime>(ticks);
}

} // namespace kelvorin
