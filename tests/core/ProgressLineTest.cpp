#include "app/ProgressLine.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

constexpr std::uint64_t kMB = 1024 * 1024, kGB = 1024 * kMB;

TEST(ProgressLine, TellsFilesBytesSpeedAndTimeLeftInGermanDigitsWithinTheConsole) {
    struct Case {
        const char* name;
        ProgressFigures figures;
        std::u16string line;
    } const cases[] = {
        {"a run",
         {{1234, 4 * kGB / 10 + 1}, {20000, 48 * kGB / 10 + 1}, 23 * kMB, 170},
         u"1.234 von 20.000 Dateien, 0,4 von 4,8 GB, 23 MB/s, noch 3 min"},
        {"in its first seconds",
         {{1, 0}, {3, 5 * kMB / 2}, {}, {}},
         u"1 von 3 Dateien, 0,0 von 2,5 MB"},
        {"a restore: bytes alone, below 10 MB/s with tenths",
         {{0, 120 * kMB + kMB / 2}, {0, 850 * kMB}, 23 * kMB / 10 + 1, 41},
         u"120 von 850 MB, 2,3 MB/s, noch 45 s"},
        {"empty files",
         {{5000, 0}, {100000, 0}, 0, 59},
         u"5.000 von 100.000 Dateien, 0,0 von 0,0 MB, 0,0 MB/s, noch 1 min"},
        {"hours in steps of 5 minutes",
         {{1, kGB}, {2, 2 * kGB}, 100 * kMB, 3601},
         u"1 von 2 Dateien, 1,0 von 2,0 GB, 100 MB/s, noch 1 h 5 min"},
        {"whole hours from 10 h",
         {{1, kGB}, {2, 2 * kGB}, kMB, 36000},
         u"1 von 2 Dateien, 1,0 von 2,0 GB, 1,0 MB/s, noch 10 h"},
        {"the widest",
         {{9999999, 1023 * kGB}, {9999999, 1023 * kGB + kGB - 1}, 9999 * kMB, 99 * 3600},
         u"9.999.999 von 9.999.999 Dateien, 1.023 von 1.023 GB, 9.999 MB/s, noch 99 h"},
        {"terabytes",
         {{1, 1024 * kGB}, {2, 2560 * kGB}, {}, {}},
         u"1 von 2 Dateien, 1,0 von 2,5 TB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string line = ProgressLine(c.figures);
        EXPECT_EQ(line, c.line);
        EXPECT_LE(line.size(), 78u);
    }
}

} // namespace
} // namespace kelvorin
