#include "engine/LogFile.h"
#include "engine/RunStatus.h"
#include "set/Windows1252CodePage.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

class FixedClock : public LocalClock {
public:
    explicit FixedClock(LocalTime t) : t_(t) {}
    LocalTime Now() override { return t_; }
    std::u16string ShortDate(const LocalTime& t) override {
        return Two(t.day) + u"." + Two(t.month) + u"." + Number(t.year);
    }
    std::u16string LongTime(const LocalTime& t) override {
        return Two(t.hour) + u":" + Two(t.minute) + u":" + Two(t.second);
    }

private:
    static std::u16string Number(int n) {
        const std::string s = std::to_string(n);
        return {s.begin(), s.end()};
    }
    static std::u16string Two(int n) { return (n < 10 ? u"0" : u"") + Number(n); }
    LocalTime t_;
};

// UTF-8 as the ANSI code page: enough of it for the characters used here.
class Utf8CodePage : public CodePage {
public:
    unsigned Number() const override { return 65001; }
    std::string Encode(std::u16string_view text) const override {
        std::string out;
        for (char16_t c : text) {
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    }
    std::u16string Decode(std::string_view) const override { return {}; }
};

TEST(DateTimeLine, IsTheDateAndTheTimeButTheDateAloneAtMidnight) {
    FixedClock evening({2025, 12, 8, 21, 30, 5, 120});
    EXPECT_EQ(DateTimeLine(evening), u"08.12.2025 21:30:05");
    FixedClock midnight({2025, 12, 8, 0, 0, 0, 0});
    EXPECT_EQ(DateTimeLine(midnight), u"08.12.2025");
    FixedClock justAfter({2025, 12, 8, 0, 0, 0, 1});
    EXPECT_EQ(DateTimeLine(justAfter), u"08.12.2025 00:00:00");
}

TEST(LogFileBytes, EndEveryLineWithCrLfInTheAnsiCodePage) {
    const Windows1252CodePage cp1252;
    EXPECT_EQ(LogFileBytes({u"Nicht gefunden: C:\\Grüße", u"OK", u"08.12.2025 21:30:05"}, cp1252),
              "Nicht gefunden: C:\\Gr\xFC\xDF"
              "e\r\nOK\r\n08.12.2025 21:30:05\r\n");
    EXPECT_EQ(LogFileBytes({}, cp1252), "");
}

TEST(LogFileBytes, BeginWithAByteOrderMarkOnlyUnderUtf8) {
    const Utf8CodePage utf8;
    EXPECT_EQ(LogFileBytes({u"Nicht gelöscht !", u"OK"}, utf8),
              "\xEF\xBB\xBFNicht gel\xC3\xB6scht !\r\nOK\r\n");
}

TEST(RunStatus, IsTheFirstConditionThatApplies) {
    struct Case {
        bool copyFailed, deleteFailed, cancelled;
        std::u16string_view status;
    } const cases[] = {
        {false, false, false, u"OK"},
        {false, false, true, u"Abbruch"},
        {false, true, false, u"Nicht gelöscht !"},
        {false, true, true, u"Nicht gelöscht !"},
        {true, false, true, u"Fehler beim kopieren !!"},
        {true, true, true, u"Fehler beim kopieren !!"},
    };
    for (const auto& c : cases) {
        const RunResults results{.copyFailed = c.copyFailed, .deleteFailed = c.deleteFailed};
        EXPECT_EQ(RunStatusText(RunStatusOf(results, c.cancelled)), c.status)
            << "copyFailed " << c.copyFailed << ", deleteFailed " << c.deleteFailed
            << ", cancelled " << c.cancelled;
    }
}

} // namespace
} // namespace kelvorin
