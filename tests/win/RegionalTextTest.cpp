// The machine's code page and the user's date and time formats, as the test
// prefix sets them: code page 1252, dd.MM.yyyy and HH:mm:ss.
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"

#include <gtest/gtest.h>

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

    const LocalTime now = clock.Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_EQ(clock.ShortDate(now).size(), 10u);
}

} // namespace
} // namespace kelvorin
