#pragma once
// The offset of local time from UTC now in force, as FileTimeToLocalFileTime
// applies it. Wine answers that call from the registry each time, which made
// it the dearest step of a run that finds everything current; the offset is
// taken anew once a second, so a change of daylight saving time still counts.
#include <windows.h>

#include <cstdint>

namespace kelvorin {

class LocalTimeOffset {
public:
    FILETIME ToLocal(const FILETIME& utc);
    FILETIME ToUtc(const FILETIME& local);
    std::int64_t Offset(); // in 100 ns, local minus UTC

private:
    std::int64_t offset_ = 0;
    ULONGLONG takenAt_ = 0;
    bool taken_ = false;
};

} // namespace kelvorin
