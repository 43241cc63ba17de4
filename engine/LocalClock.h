#pragma once
// Local time and the user's regional formats, for the log's date line.
#include <string>

namespace kelvorin {

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalTime Now() = 0;
    virtual std::u16string ShortDate(const LocalTime& t) = 0;
    virtual std::u16string LongTime(const LocalTime& t) = 0;
};

} // namespace kelvorin
