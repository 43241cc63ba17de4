#include "engine/win32/LocalTimeOffset.h"

namespace kelvorin {

namespace {

std::int64_t AsInt(const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                     t.dwLowDateTime);
}

FILETIME AsFileTime(std::int64_t value) {
    const auto v = static_cast<std::uint64_t>(value);
    return FILETIME{static_cast<DWORD>(v & 0xFFFFFFFF), static_cast<DWORD>(v >> 32)};
}

} // namespace

std::int64_t LocalTimeOffset::Offset() {
    const ULONGLONG now = GetTickCount64();
    if (!taken_ || now - takenAt_ >= 1000) {
        FILETIME utc, local;
        GetSystemTimeAsFileTime(&utc);
        if (FileTimeToLocalFileTime(&utc, &local)) {
            offset_ = AsInt(local) - AsInt(utc);
            takenAt_ = now;
            taken_ = true;
        }
    }
    return offset_;
}

FILETIME LocalTimeOffset::ToLocal(const FILETIME& utc) {
    return AsFileTime(AsInt(utc) + Offset());
}

FILETIME LocalTimeOffset::ToUtc(const FILETIME& local) {
    return AsFileTime(AsInt(local) - Offset());
}

} // namespace kelvorin
