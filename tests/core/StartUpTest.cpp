#include "app/StartUp.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace kelvorin {
namespace {

using Items = std::vector<std::u16string>;

using testing::Narrow;

TEST(CommandLine, SplitsByTheProgramsOwnRules) {
    const struct {
        std::u16string line;
        Items items;
    } cases[] = {
        {u"", {}},
        {u"Kelvorin.exe", {u"Kelvorin.exe"}},
        {u"  Kelvorin.exe   Projekt  ", {u"Kelvorin.exe", u"Projekt"}},
        {u"\"C:\\Program Files\\Kelvorin.exe\" \"Mein Projekt\"",
         {u"C:\\Program Files\\Kelvorin.exe", u"Mein Projekt"}},
        // Control characters separate like blanks.
        {u"k.exe\tA\x01"
         u"B\nC",
         {u"k.exe", u"A", u"B", u"C"}},
        // Quotes inside an item join its parts and are dropped.
        {u"k.exe a\"b c\"d", {u"k.exe", u"ab cd"}},
        // A quote without its partner runs to the end of the line.
        {u"k.exe \"a b  ", {u"k.exe", u"a b  "}},
        // A "" where an item would begin is skipped, also several in a row.
        {u"k.exe \"\" Projekt", {u"k.exe", u"Projekt"}},
        {u"k.exe \"\"\"\"Projekt", {u"k.exe", u"Projekt"}},
        {u"k.exe \"\"", {u"k.exe"}},
        {u"k.exe x\"\"", {u"k.exe", u"x"}},
        // A lone quote at the end gives no item.
        {u"k.exe a \"", {u"k.exe", u"a"}},
        // Backslashes have no meaning to the split.
        {u"k.exe \"C:\\Daten\\\" x", {u"k.exe", u"C:\\Daten\\", u"x"}},
        {u"k.exe \u00C4nderung", {u"k.exe", u"\u00C4nderung"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.items) << "line [" << Narrow(c.line) << "]";
}

TEST(CommandLine, ChangesTheExtensionToIni) {
    const struct {
        std::u16string name, expected;
    } cases[] = {
        {u"Projekt", u"Projekt.ini"},
        {u"Projekt.txt", u"Projekt.ini"},
        {u"Projekt.INI", u"Projekt.ini"},
        {u"D:\\Sicherung\\Projekt.txt", u"D:\\Sicherung\\Projekt.ini"},
        {u"C:\\Daten.alt\\Projekt", u"C:\\Daten.alt\\Projekt.ini"},
        {u"Archiv.2024.cfg", u"Archiv.2024.ini"},
        {u"Projekt.", u"Projekt.ini"},
        {u"C:x.y", u"C:x.ini"},
        {u"C:.\\x", u"C:.\\x.ini"},
        {u"D:", u"D:.ini"},
        {u"", u".ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithIniExtension(c.name), c.expected) << "name " << Narrow(c.name);
}

TEST(DataDir, IsTheDocumentsFolderOrCWithABackslash) {
    EXPECT_EQ(DataDirFrom(u"K:\\Dokumente"), u"K:\\Dokumente\\");
    EXPECT_EQ(DataDirFrom(u"K:\\Dokumente\\"), u"K:\\Dokumente\\\\");
    EXPECT_EQ(DataDirFrom(u""), u"\\");
    EXPECT_EQ(DataDirFrom(std::nullopt), u"C:\\");
}

TEST(SetFileChoice, FollowsTheArgumentsAndWhatExists) {
    const std::u16string dataDir = u"K:\\Dokumente\\";
    const std::set<std::u16string> existing = {u"Kelvorin.ini", u"Sets\\Da.ini", u"C:\\a\\b.ini"};
    const struct {
        const char* name;
        Items arguments;
        std::set<std::u16string> files;
        std::u16string expected;
    } cases[] = {
        {"no argument, no file here", {}, {}, u"K:\\Dokumente\\Kelvorin.ini"},
        {"no argument, a file here", {}, existing, u"Kelvorin.ini"},
        {"one name, no such file", {u"Projekt"}, existing, u"K:\\Dokumente\\Projekt.ini"},
        {"a full path that does not exist",
         {u"D:\\Sicherung\\Projekt.txt"},
         {},
         u"D:\\Sicherung\\Projekt.ini"},
        {"a relative path that exists", {u"Sets\\Da"}, existing, u"Sets\\Da.ini"},
        {"a relative path that does not",
         {u"Sets\\Weg"},
         existing,
         u"K:\\Dokumente\\Sets\\Weg.ini"},
        {"an existing full path", {u"C:\\a\\b.txt"}, existing, u"C:\\a\\b.ini"},
        {"two arguments are ignored", {u"Sets\\Da", u"x"}, {}, u"K:\\Dokumente\\Kelvorin.ini"},
        {"a network path is put inside",
         {u"\\\\srv\\share\\p"},
         {},
         u"K:\\Dokumente\\\\\\srv\\share\\p.ini"},
        {"any first character before :\\", {u"1:\\x"}, {}, u"1:\\x.ini"},
        {"a drive without backslash is put inside", {u"D:x"}, {}, u"K:\\Dokumente\\D:x.ini"},
    };
    for (const auto& c : cases) {
        const auto isFile = [&](std::u16string_view p) {
            return c.files.count(std::u16string(p)) > 0;
        };
        EXPECT_EQ(SetFilePathFor(c.arguments, dataDir, isFile), c.expected) << c.name;
    }
}

} // namespace
} // namespace kelvorin
