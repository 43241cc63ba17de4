#include "engine/win32/Win32LocalClock.h"

#include <windows.h>

namespace kelvorin {

namespace {

SYSTEMTIME AsSystemTime(const LocalTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

std::u16string Text(const wchar_t* buffer, int size) {
    // The size counts the terminating zero.
    return size > 1 ? std::u16string(buffer, buffer + size - 1) : std::u16string();
}

} // namespace

LocalTime Win32LocalClock::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::u16string Win32LocalClock::ShortDate(const LocalTime& t) {
    const SYSTEMTIME st = AsSystemTime(t);
    wchar_t buffer[128];
    return Text(buffer, GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer,
                                       static_cast<int>(std::size(buffer))));
}

std::u16string Win32LocalClock::LongTime(const LocalTime& t) {
    const SYSTEMTIME st = AsSystemTime(t);
    wchar_t buffer[128];
    return Text(buffer, GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer,
                                       static_cast<int>(std::size(buffer))));
}

} // namespace kelvorin
