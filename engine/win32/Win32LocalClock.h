#pragma once
// Local time, formatted with the user's short date and long time formats.
#include "engine/LocalClock.h"

namespace kelvorin {

class Win32LocalClock : public LocalClock {
public:
    LocalTime Now() override;
    std::u16string ShortDate(const LocalTime& t) override;
    std::u16string LongTime(const LocalTime& t) override;
};

} // namespace kelvorin
