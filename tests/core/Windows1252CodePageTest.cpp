#include "set/Windows1252CodePage.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

TEST(Windows1252CodePage, RoundTripsEveryByte) {
    Windows1252CodePage cp;
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::u16string text = cp.Decode(all);
    ASSERT_EQ(text.size(), all.size());
    EXPECT_EQ(cp.Encode(text), all);
}

TEST(Windows1252CodePage, MapsTheWindowsCharactersAndReplacesTheRest) {
    Windows1252CodePage cp;
    EXPECT_EQ(cp.Decode("\x80\x8A\x9F\xC4\xDF\x81"), u"\u20AC\u0160\u0178\u00C4\u00DF\u0081");
    EXPECT_EQ(cp.Encode(u"\u00C4rger \u20AC"), "\xC4rger \x80");
    // Ł, 日 and an emoji (one surrogate pair) are not in the code page.
    EXPECT_EQ(cp.Encode(u"\u0141\u65E5\U0001F600x"), "???x");
    EXPECT_EQ(cp.Number(), 1252u);
}

} // namespace
} // namespace kelvorin
