#include "engine/Paths.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

TEST(Paths, SingleBackslashesCollapsesRunsButKeepsAUncStart) {
    const struct {
        std::u16string_view in;
        std::u16string_view out;
    } cases[] = {
        {u"E:\\\\Daten", u"E:\\Daten"},   {u"E:\\Daten\\\\\\a\\\\b", u"E:\\Daten\\a\\b"},
        {u"E:\\Daten\\", u"E:\\Daten\\"}, {u"\\\\server\\\\freigabe", u"\\\\server\\freigabe"},
        {u"\\\\\\server", u"\\\\server"}, {u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.in.begin(), c.in.end()));
        EXPECT_EQ(SingleBackslashes(c.in), c.out);
    }
}

} // namespace
} // namespace kelvorin
