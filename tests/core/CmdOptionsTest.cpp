#include "app/CmdOptions.h"

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

TEST(CmdOptions, ErrorNamesTheOffendingArgument) {
    EXPECT_TRUE(ParseCmdOptions({u"/Schnell"}).error.ends_with(u"/Schnell"));
    EXPECT_TRUE(ParseCmdOptions({u"a", u"b"}).error.ends_with(u"b"));
}

} // namespace
} // namespace kelvorin
