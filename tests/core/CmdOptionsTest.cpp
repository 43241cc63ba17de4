#include "app/CmdOptions.h"

#include "engine/Calendar.h"
#include "engine/RunNames.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

struct Case {
    std::vector<std::u16string> args;
    std::vector<std::u16string> names;
    bool preview, help, error;
    bool check = false, repair = false;
};

TEST(CmdOptions, ParsesNamesAndCaseInsensitiveOptions) {
    const Case cases[] = {
        {{}, {}, false, false, false},
        {{u"Projekt"}, {u"Projekt"}, false, false, false},
        {{u"/VORSCHAU", u"Projekt"}, {u"Projekt"}, true, false, false},
        {{u"Projekt", u"/vorschau"}, {u"Projekt"}, true, false, false},
        {{u"/?"}, {}, false, true, false},
        {{u"/x"}, {}, false, false, true},
        {{u"a", u"b"}, {u"a", u"b"}, false, false, true},
        {{u"/Vorschau2"}, {}, false, false, true},
        {{u"Projekt", u"/Prüfen"}, {u"Projekt"}, false, false, false, true, false},
        {{u"/PRÜFEN"}, {}, false, false, false, true, false},
        {{u"/reparieren"}, {}, false, false, false, true, true},
        {{u"/Prüfen", u"/Reparieren"}, {}, false, false, false, true, true},
        {{u"/Prüfen", u"/Vorschau"}, {}, true, false, true, true, false},
        {{u"/Vorschau", u"/Reparieren"}, {}, true, false, true, true, true},
    };
    for (const auto& c : cases) {
        const CmdOptions o = ParseCmdOptions(c.args);
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_EQ(o.setNames, c.names);
        EXPECT_EQ(o.preview, c.preview);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.check, c.check);
        EXPECT_EQ(o.repair, c.repair);
        EXPECT_EQ(!o.error.empty(), c.error) << "error text: " << ::testing::PrintToString(o.error);
    }
}

// A restore needs its moment and its folder together, and goes with no other command.
TEST(CmdOptions, TakesARestoreOnlyWithAMomentAndAFolder) {
    const struct {
        std::vector<std::u16string> args;
        bool error;
    } cases[] = {
        {{u"/Zurück:2026-12-01", u"/Nach:R:\\Zurück"}, false},
        {{u"/ZURÜCK:2026-12-01 10.30", u"/nach:R:\\x"}, false},
        {{u"/Zurück:2026-12-01"}, true},
        {{u"/Nach:R:\\x"}, true},
        {{u"/Zurück:gestern", u"/Nach:R:\\x"}, true},
        {{u"/Zurück:2026-12-01", u"/Nach:"}, true},
        {{u"/Zurück:2026-12-01", u"/Nach:R:\\x", u"/Vorschau"}, true},
        {{u"/Stände"}, false},
        {{u"/STÄNDE", u"/Prüfen"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_EQ(!ParseCmdOptions(c.args).error.empty(), c.error);
    }
}

// A day means its end, a minute its last second; "." or ":" in the time.
TEST(CmdOptions, ReadsAMomentAsTheLastSecondItNames) {
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return MomentOf({y, mo, d, h, mi, s, 0});
    };
    const struct {
        std::u16string_view text;
        std::optional<std::int64_t> moment;
    } cases[] = {
        {u"2026-12-01", at(2026, 12, 1, 23, 59, 59)},
        {u"2026-12-01 10.30", at(2026, 12, 1, 10, 30, 59)},
        {u"2026-12-01 10:30", at(2026, 12, 1, 10, 30, 59)},
        {u"2026-12-01 10:30:05", at(2026, 12, 1, 10, 30, 5)},
        {u"2024-02-29", at(2024, 2, 29, 23, 59, 59)},
        {u"2026-02-29", std::nullopt},
        {u"2026-12-01 24.00", std::nullopt},
        {u"2026-12-01T10.30", std::nullopt},
        {u"2026-12-01 10.3", std::nullopt},
        {u"01.12.2026", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::u16string(c.text)));
        EXPECT_EQ(ParseMoment(c.text), c.moment);
    }
}

TEST(CmdOptions, ErrorNamesTheOffendingArgument) {
    EXPECT_TRUE(ParseCmdOptions({u"/Schnell"}).error.ends_with(u"/Schnell"));
    EXPECT_TRUE(ParseCmdOptions({u"a", u"b"}).error.ends_with(u"b"));
}

} // namespace
} // namespace kelvorin
