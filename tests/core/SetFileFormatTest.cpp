#include "set/SetFileFormat.h"
#include "set/Texts.h"
#include "set/Windows1252CodePage.h"

#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvorin {
namespace {

using Lines = std::vector<std::u16string>;

using testing::Narrow;

struct Loaded {
    BackupSet set;
    SortedList workList;
    int drive = 0;
};

// A whole load as LoadSet does it after opening the file; the bytes arrive in
// chunks of the given size, so line ends and Ctrl-Z may fall on a boundary.
Loaded Load(std::string_view bytes, std::size_t chunk = 4096) {
    Windows1252CodePage cp;
    Loaded out;
    out.set.folders.Clear();
    out.set.exclusions.clear();
    SetFileReader reader(cp, out.set, out.workList);
    for (std::size_t i = 0; i < bytes.size(); i += chunk)
        if (!reader.Feed(bytes.substr(i, chunk))) break;
    reader.Finish();
    out.drive = reader.PendingDrive();
    FinishLoadedSet(reader, out.set, out.workList);
    return out;
}

TEST(DriveValue, ConvertsLikeTheSystemsIntegerReading) {
    const struct {
        std::u16string text;
        std::int32_t expected;
    } cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"E", 0},
        {u"7x", 7},
        {u"   5", 5},
        {u"\t5", 0},
        {u"30", 30},
        {u"-3", -3},
        {u"+12", 12},
        {u"$10", 16},
        {u"x1f", 31},
        {u"X1F", 31},
        {u"0x10", 16},
        {u"0X1g", 1},
        {u"-$10", -16},
        {u"$", 0},
        {u"0", 0},
        {u"007", 7},
        {u"5 ", 5},
        {u" -0", 0},
        {u"$FFFFFFFF", -1},
        {u"$7FFFFFFF", 2147483647},
        {u"$123456789", 0x12345678},
        {u"2147483647", 2147483647},
        {u"2147483648", -2147483647 - 1},
        {u"2147483649", -2147483647},
        {u"21474836499", -2147483647},
        {u"4294967295", 429496729},
        {u"-2147483648", -2147483647 - 1},
        {u"$-1", 0},
        {u"--1", 0},
        {u"1e3", 1},
        {u"\u0665", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DriveValueToInt(c.text), c.expected) << "value \"" << Narrow(c.text) << "\"";
}

TEST(SetFileReading, FollowsTheReadingRules) {
    const struct {
        const char* name;
        std::string bytes;
        Lines folders;
        Lines exclusions;
        int drive;
        bool synchron;
    } cases[] = {
        {"empty file", "", {}, {}, 4, false},
        {"keys in any case",
         "laufwerk=6\r\nORDNER=C:\\a\r\nOrdner=C:\\b\r\nsynchron=TRUE\r\naUsScHlUsS=tmp\r\n",
         {u"C:\\a", u"C:\\b"},
         {u"tmp"},
         6,
         true},
        {"a blank before the key or the = leaves it unmatched",
         " Ordner=C:\\x\nOrdner =C:\\y\nLaufwerk =9\n",
         {},
         {},
         4,
         false},
        {"only TRUE sets the flag", "Synchron=TRUE\nSynchron=True\n", {}, {}, 4, false},
        {"TRUE with a blank clears it", "Synchron=TRUE \n", {}, {}, 4, false},
        {"the last Laufwerk and Synchron count",
         "Laufwerk=1\nSynchron=TRUE\nLaufwerk=2\nSynchron=FALSE\nSynchron=TRUE\n",
         {},
         {},
         2,
         true},
        {"the first = splits", "Ordner=C:\\a=b\n", {u"C:\\a=b"}, {}, 4, false},
        {"nothing is trimmed",
         "Ordner= C:\\a \nAusschluss= tmp\n",
         {u" C:\\a "},
         {u" tmp"},
         4,
         false},
        {"no = or an empty key is ignored",
         "Ordner\n=\n=Ordner=C:\\x\nOrdnerC:\\y\n",
         {},
         {},
         4,
         false},
        {"unknown keys are ignored", "Ziel=C:\\x\nOrdnerX=C:\\y\n", {}, {}, 4, false},
        {"duplicates and empty folders are kept",
         "Ordner=C:\\a\nOrdner=C:\\a\nOrdner=\n",
         {u"", u"C:\\a", u"C:\\a"},
         {},
         4,
         false},
        {"folders come back sorted",
         "Ordner=d:\\z\nOrdner=C:\\b\nOrdner=c:\\A\n",
         {u"c:\\A", u"C:\\b", u"d:\\z"},
         {},
         4,
         false},
        {"exclusions come back sorted, lower-cased A to Z only, duplicates kept",
         "Ausschluss=exe\nAusschluss=BAK\nAusschluss=\xC4Rger\nAusschluss=bak\n",
         {},
         {u"bak", u"bak", u"exe", u"\u00C4rger"},
         4,
         false},
        {"LF, CR LF and a last line without an end",
         "Ordner=C:\\a\nOrdner=C:\\b\r\nOrdner=C:\\c",
         {u"C:\\a", u"C:\\b", u"C:\\c"},
         {},
         4,
         false},
        {"a lone CR is dropped, not a line end",
         "Ordner=C:\\a\rOrdner=C:\\b\r\r\n",
         {u"C:\\aOrdner=C:\\b"},
         {},
         4,
         false},
        {"Ctrl-Z ends the file; its line is still read",
         "Ordner=C:\\a\nOrdner=C:\\b\x1AOrdner=C:\\c\nLaufwerk=9\n",
         {u"C:\\a", u"C:\\b"},
         {},
         4,
         false},
        {"Ctrl-Z first reads nothing", "\x1AOrdner=C:\\a\n", {}, {}, 4, false},
        {"a byte-order mark spoils the first key",
         "\xEF\xBB\xBFLaufwerk=7\nSynchron=TRUE\n",
         {},
         {},
         4,
         true},
        {"UTF-16 yields no line",
         std::string("L\0a\0u\0f\0w\0e\0r\0k\0=\0\x37\0\n\0", 22),
         {},
         {},
         4,
         false},
        {"the ANSI code page decodes the values",
         "Ordner=C:\\Gr\xFC\xDF\x65\x80\n",
         {u"C:\\Gr\u00FC\u00DFe\u20AC"},
         {},
         4,
         false},
        {"drive values beyond the range are kept pending as read",
         "Laufwerk=-3\n",
         {},
         {},
         -3,
         false},
    };
    for (const auto& c : cases) {
        for (std::size_t chunk : {std::size_t{4096}, std::size_t{1}}) {
            const Loaded got = Load(c.bytes, chunk);
            SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
            EXPECT_EQ(got.set.folders.Items(), c.folders);
            EXPECT_EQ(got.set.exclusions, c.exclusions);
            EXPECT_EQ(got.drive, c.drive);
            EXPECT_EQ(got.set.synchron, c.synchron);
            EXPECT_EQ(got.workList.Count(), 0u) << "the work list must be left empty";
        }
    }
}

TEST(SetFileReading, LimitsTheDriveOnlyWhenItIsSet) {
    EXPECT_EQ(Load("Laufwerk=30\n").set.DriveIndex(), 25);
    EXPECT_EQ(Load("Laufwerk=-3\n").set.DriveIndex(), -1);
    EXPECT_EQ(Load("Laufwerk=abc\n").set.DriveIndex(), 0);
    EXPECT_EQ(Load("Laufwerk=$10\n").set.DriveIndex(), 16);
    EXPECT_EQ(Load("Laufwerk=   5\n").set.DriveIndex(), 5);
    EXPECT_EQ(Load("").set.DriveIndex(), 4);
}

TEST(SetFileReading, ReadsLongValuesWhole) {
    // A cut path would back up and synchronise a different folder.
    const std::u16string folder = u"C:\\" + std::u16string(400, u'd');
    const std::u16string exclusion(300, u'x');
    const Loaded got =
        Load("Ordner=" + Narrow(folder) + "\r\nAusschluss=" + Narrow(exclusion) + "\r\n", 7);
    EXPECT_EQ(got.set.folders.Items(), Lines{folder});
    EXPECT_EQ(got.set.exclusions, Lines{exclusion});
}

TEST(SetFileWriting, WritesTheExampleSetAsItsSixLinesAndReadsItBack) {
    const BackupSet set = testing::ExampleSet();
    const std::string expected = testing::kExampleSetFile;
    Windows1252CodePage cp;
    const std::string bytes = FormatSetFile(set, cp);
    EXPECT_EQ(bytes, expected);

    const Loaded back = Load(bytes);
    EXPECT_EQ(back.set.folders.Items(), set.folders.Items());
    EXPECT_EQ(back.set.exclusions, set.exclusions);
    EXPECT_EQ(back.set.DriveIndex(), 5);
    EXPECT_TRUE(back.set.synchron);
    EXPECT_EQ(FormatSetFile(back.set, cp), expected);
}

TEST(SetFileWriting, LeavesOutEmptyEntriesAndLowerCasesExclusions) {
    BackupSet set;
    set.folders.Add(u"C:\\a");
    set.folders.Add(u"");
    set.folders.Add(u"C:\\a");
    set.SetDriveIndex(-1);
    set.exclusions = {u"EXE", u"", u"\u00C4Rger", u"~"};
    Windows1252CodePage cp;
    EXPECT_EQ(FormatSetFile(set, cp), "Laufwerk=-1\r\nSynchron=FALSE\r\nOrdner=C:\\a\r\n"
                                      "Ordner=C:\\a\r\nAusschluss=exe\r\nAusschluss=\xC4rger\r\n"
                                      "Ausschluss=~\r\n");
    // A character outside the code page does not come back as it was.
    BackupSet odd;
    odd.folders.Add(u"C:\\\u0141\u00F3d\u017A");
    odd.exclusions.clear();
    EXPECT_EQ(FormatSetFile(odd, cp), "Laufwerk=4\r\nSynchron=FALSE\r\nOrdner=C:\\?\xF3"
                                      "d?\r\n");
}

TEST(BackupSetTest, StartsAsANewSetAndLimitsTheDrive) {
    BackupSet set;
    set.folders.Add(u"C:\\x");
    set.synchron = true;
    set.exclusions = {u"a"};
    set.SetDriveIndex(99);
    EXPECT_EQ(set.DriveIndex(), 25);
    set.SetDriveIndex(-7);
    EXPECT_EQ(set.DriveIndex(), -1);
    set.ResetToNew();
    EXPECT_EQ(set.folders.Count(), 0u);
    EXPECT_EQ(set.exclusions, (Lines{u"~", u"bak", u"com", u"dll", u"exe"}));
    EXPECT_EQ(set.DriveIndex(), 4);
    EXPECT_FALSE(set.synchron);
}

TEST(SetFileErrors, GiveTheTextForEachCode) {
    const struct {
        std::uint32_t code;
        std::u16string text;
    } cases[] = {
        {2, u"Datei nicht gefunden"},
        {3, u"Ungültiger Dateiname"},
        {4, u"Zu viele geöffnete Dateien"},
        {5, u"Dateizugriff verweigert"},
        {100, u"Versuch hinter dem Dateiende zu lesen"},
        {101, u"Zu wenig Speicherplatz"},
        {106, u"Ungültige numerische Eingabe"},
        {112, u"E/A-Fehler 112"},
        {0, u"E/A-Fehler 0"},
        {0xFFFFFFFFu, u"E/A-Fehler -1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IoErrorText(c.code), c.text) << "code " << c.code;
}

} // namespace
} // namespace kelvorin

namespace kelvorin {
namespace {

// A mistyped keep time never turns versions off; the key is written only
// when it differs from the default, so older set files keep their bytes.
TEST(SetFileVersions, ReadsTheKeepTimeAndWritesItOnlyWhenChanged) {
    const struct {
        const char* line;
        int days;
    } cases[] = {
        {"", 30},
        {"Versionen=7\r\n", 7},
        {"versionen= 0 \r\n", 0},
        {"Versionen=36500\r\n", 36500},
        {"Versionen=36501\r\n", 30},
        {"Versionen=-1\r\n", 30},
        {"Versionen=7x\r\n", 30},
        {"Versionen=\r\n", 30},
        {"Versionen=00014\r\n", 14},
        {"Versionen=5\r\nVersionen=abc\r\n", 30},
    };
    Windows1252CodePage cp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Loaded loaded = Load(std::string("Laufwerk=4\r\n") + c.line);
        EXPECT_EQ(loaded.set.versionDays, c.days);
        const std::string written = FormatSetFile(loaded.set, cp);
        EXPECT_EQ(written.find("Versionen=") != std::string::npos, c.days != 30);
        EXPECT_EQ(Load(written).set.versionDays, c.days);
    }
}

} // namespace
} // namespace kelvorin
