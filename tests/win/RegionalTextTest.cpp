// The machine's code page and the user's date and time formats, as the test
// prefix sets them: code page 1252, dd.MM.yyyy and HH:mm:ss.
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace kelvorin {
namespace {

TEST(Win32CodePage, ConvertsWithTheSystemsBestFitAndDefaultCharacters) {
    const Win32CodePage cp;
    ASSERT_EQ(cp.Number(), 1252u);
    EXPECT_EQ(cp.Encode(u"Grüße €"), "Gr\xFC\xDF"
                                     "e \x80");
    EXPECT_EQ(cp.Encode(u"Łódź 日"), "L\xF3"
                                     "dz ?");
    EXPECT_EQ(cp.Decode("Gr\xFC\xDF"
                        "e \x80"),
              u"Grüße €");
    EXPECT_EQ(cp.Encode(u""), "");
    EXPECT_EQ(cp.Decode(""), u"");
}

TEST(Win32LocalClock, FormatsWithTheUsersShortDateAndLongTime) {
    Win32LocalClock clock;
    const LocalTime t{2025, 12, 8, 21, 30, 5, 0};
    EXPECT_EQ(clock.ShortDate(t), u"08.12.2025");
    EXPECT_EQ(clock.LongTime(t), u"21:30:05");

    // Now is the local time, not universal time or a stamp of its own: it lies
    // between two readings of the system's local time taken around it.
    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    const LocalTime now = clock.Now();
    GetLocalTime(&after);
    const auto ticks = [](const SYSTEMTIME& time) {
        FILETIME f{};
        EXPECT_TRUE(SystemTimeToFileTime(&time, &f));
        return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    const auto word = [](int v) { return static_cast<WORD>(v); };
    const SYSTEMTIME read{word(now.year),   word(now.month),      0,
                          word(now.day),    word(now.hour),       word(now.minute),
                          word(now.second), word(now.millisecond)};
    EXPECT_LE(ticks(before), ticks(read));
    EXPECT_LE(ticks(read), ticks(after));
    EXPECT_EQ(clock.ShortDate(now).size(), 10u);
}

} // namespace
} // namespace kelvorin
