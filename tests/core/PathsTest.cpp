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

TEST(Paths, DriveOfNamesTheDriveOfTheFirstCharacterInEitherCase) {
    const struct {
        std::u16string_view path;
        DriveLetter drive;
    } cases[] = {
        {u"t:\\Daten", DriveLetter::FromLetter(u'T')},
        {u"T:\\Daten", DriveLetter::FromLetter(u'T')},
        {u"\\\\nas\\daten", DriveLetter()},
        {u"", DriveLetter()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(DriveOf(c.path), c.drive);
    }
}

TEST(Paths, IsDrivePathOnlyFromADriveRoot) {
    // Any other entry would be read against a current folder: a run treats it as missing.
    const struct {
        std::u16string_view path;
        bool drivePath;
    } cases[] = {
        {u"E:\\", true},     {u"e:\\Daten", true},       {u"E:", false},
        {u"E:Daten", false}, {u"\\\\nas\\daten", false}, {u"Daten", false},
        {u"@:\\", false},    {u"1:\\", false},           {u"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(IsDrivePath(c.path), c.drivePath);
    }
}

} // namespace
} // namespace kelvorin
