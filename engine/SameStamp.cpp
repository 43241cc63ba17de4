#include "engine/SameStamp.h"

namespace kelvorin {
namespace {

constexpr std::int32_t kOneHourSameDay = 0x800;

} // namespace

bool IsCopyOutdated(DosStamp source, DosStamp copy) {
    const std::int32_t difference = StampDifference(source, copy);
    return difference >= 1 && difference != kOneHourSameDay;
}

bool ReadsBackAsSet(DosStamp set, DosStamp readBack) {
    const std::int32_t difference = StampDifference(set, readBack);
    return difference >= -1 && difference <= 1;
}

bool IsListedCopy(const FileFacts& found, const ListedCopy& listed) {
    if (found.size != listed.size) return false;
    if (listed.time != kNoFileTime && found.time == listed.time) return true;
    return listed.local != kNoStamp && found.stamp == listed.local;
}

} // namespace kelvorin
