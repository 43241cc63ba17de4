#include "set/DriveLetter.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

TEST(DriveLetter, ConvertsBetweenIndexAndLetter) {
    const struct {
        int index;
        char16_t letter;
    } cases[] = {{0, u'A'}, {4, u'E'}, {25, u'Z'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const DriveLetter byIndex = DriveLetter::FromIndex(c.index);
        EXPECT_FALSE(byIndex.IsNone());
        EXPECT_EQ(byIndex.Letter(), c.letter);
        EXPECT_EQ(byIndex.Index(), c.index);
        EXPECT_EQ(DriveLetter::FromLetter(c.letter), byIndex);
        EXPECT_EQ(DriveLetter::FromLetter(static_cast<char16_t>(c.letter + (u'a' - u'A'))), byIndex)
            << "a lower-case letter names the same drive";
    }
    EXPECT_NE(DriveLetter::FromIndex(3), DriveLetter::FromIndex(4));
}

TEST(DriveLetter, IsNoneOutsideTheRangeOfDrives) {
    // Neighbours of the letters in the code table: '@' and '[' just outside A..Z,
    // '`' and '{' outside a..z; "Ä" is no drive either.
    for (const char16_t letter : {u'@', u'[', u'`', u'{', u'0', u':', u'\\', u'\u00C4', u'\0'}) {
        SCOPED_TRACE(static_cast<int>(letter));
        EXPECT_TRUE(DriveLetter::FromLetter(letter).IsNone());
    }
    for (const int index : {-1, 26, -26, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_TRUE(DriveLetter::FromIndex(index).IsNone());
    }
    const DriveLetter none;
    EXPECT_TRUE(none.IsNone());
    EXPECT_EQ(none.Index(), -1) << "as the set file writes no drive";
    EXPECT_EQ(none.Letter(), u'\0');
    EXPECT_EQ(DriveLetter::FromIndex(26), none);
    EXPECT_NE(DriveLetter::FromIndex(0), none);
}

TEST(DriveLetter, NamesItselfAndItsRootFolder) {
    const struct {
        DriveLetter drive;
        std::u16string name, root;
    } cases[] = {
        {DriveLetter::FromIndex(0), u"A:", u"A:\\"},
        {DriveLetter::FromLetter(u'z'), u"Z:", u"Z:\\"},
        {DriveLetter::DefaultTarget(), u"E:", u"E:\\"},
        {DriveLetter(), u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drive.Index());
        EXPECT_EQ(c.drive.Name(), c.name);
        EXPECT_EQ(c.drive.Root(), c.root);
    }
}

} // namespace
} // namespace kelvorin
