#include "engine/CopyRules.h"
#include "engine/SameStamp.h"
#include "engine/Texts.h"

#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

using testing::Stamp;

using testing::Narrow;

struct ExclusionCase {
    std::u16string line;
    std::u16string name;
    bool excluded;
};

TEST(Exclusions, MatchTheLinesAsTheyStandInTheLoweredExtension) {
    const ExclusionCase cases[] = {
        {u"bak", u"Brief.BAK", true},
        {u"bak", u"Brief.bak", true},
        {u"bak", u"Brief.bak2", true},
        {u"bak", u"Brief.txt", false},
        {u"~", u"Brief.doc~", true},
        {u"~", u"~$Brief.docx", false},
        {u"c", u"a.c", true},
        {u"c", u"a.cpp", true},
        {u"c", u"Brief.doc", true},
        {u"c", u"a.csv", true},
        {u"c", u"a.txt", false},
        {u".", u"Brief.txt", true},
        {u".", u"Makefile", false},
        {u"BAK", u"Brief.bak", false},
        {u"BAK", u"Brief.BAK", false},
        {u"bak ", u"Brief.bak", false},
        {u"", u"Brief.bak", false},
        {u"", u"Makefile", false},
        {u"git", u".gitignore", true},
        {u"profile", u".profile", true},
        {u"tar", u"archiv.tar.gz", false},
        {u"gz", u"archiv.tar.gz", true},
        {u"ä", u"Brief.Ä", false},
        {u"ä", u"Brief.ä", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsExcluded(c.name, {c.line}), c.excluded)
            << "line \"" << Narrow(c.line) << "\", file " << Narrow(c.name);
}

TEST(Exclusions, AnyLineDecides) {
    const std::vector<std::u16string> lines{u"", u"~", u"bak", u"com", u"dll", u"exe"};
    EXPECT_TRUE(IsExcluded(u"setup.EXE", lines));
    EXPECT_TRUE(IsExcluded(u"x.docx~", lines));
    EXPECT_FALSE(IsExcluded(u"Brief.docx", lines));
    EXPECT_FALSE(IsExcluded(u"README", lines));
    EXPECT_FALSE(IsExcluded(u"Brief.bak", {}));
}

struct StampCase {
    const char* what;
    DosStamp source, copy;
    bool renewed;
};

TEST(CopyStamps, RenewACopyOnlyWhenTheSourceIsLater) {
    const StampCase cases[] = {
        {"two seconds later", Stamp(2025, 3, 1, 10, 0, 2), Stamp(2025, 3, 1, 10, 0, 0), true},
        {"one second later reads equal", Stamp(2025, 3, 1, 10, 0, 1), Stamp(2025, 3, 1, 10, 0, 0),
         false},
        {"equal", Stamp(2025, 3, 1, 10, 0, 0), Stamp(2025, 3, 1, 10, 0, 0), false},
        {"one hour later, same day", Stamp(2025, 3, 1, 11, 0, 0), Stamp(2025, 3, 1, 10, 0, 0),
         false},
        {"one hour and two seconds later", Stamp(2025, 3, 1, 11, 0, 2), Stamp(2025, 3, 1, 10, 0, 0),
         true},
        {"two hours later", Stamp(2025, 3, 1, 12, 0, 0), Stamp(2025, 3, 1, 10, 0, 0), true},
        {"an hour across midnight", Stamp(2025, 3, 2, 0, 30, 0), Stamp(2025, 3, 1, 23, 30, 0),
         true},
        {"an hour across a month's end", Stamp(2025, 4, 1, 0, 30, 0), Stamp(2025, 3, 31, 23, 30, 0),
         true},
        {"copy later than source", Stamp(2025, 3, 1, 10, 0, 0), Stamp(2025, 3, 1, 10, 0, 4), false},
        {"copy a year later", Stamp(2024, 3, 1, 10, 0, 0), Stamp(2025, 3, 1, 10, 0, 0), false},
        {"source without stamp", kNoStamp, Stamp(2025, 3, 1, 10, 0, 0), false},
        {"copy without stamp", Stamp(2025, 3, 1, 10, 0, 0), kNoStamp, true},
        {"both without stamp", kNoStamp, kNoStamp, false},
        {"across the sign bit (2044)", Stamp(2044, 1, 1, 0, 0, 2), Stamp(2043, 12, 31, 23, 59, 58),
         true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCopyOutdated(c.source, c.copy), c.renewed) << c.what;
}

TEST(PartialCopy, LiesBesideTheCopyUnderATellingName) {
    EXPECT_EQ(PartialCopyPath(u"T:\\Daten\\Brief.doc", 0),
              std::u16string(u"T:\\Daten\\Brief.doc") + kPartialCopyTail);
    EXPECT_EQ(PartialCopyPath(u"T:\\Daten\\Brief.doc", 1),
              u"T:\\Daten\\Brief.doc~Kelvorin-Teilkopie-2.tmp");
    EXPECT_NE(PartialCopyPath(u"T:\\Daten\\a.txt", 0), PartialCopyPath(u"T:\\Daten\\b.txt", 0));
    EXPECT_EQ(PartialCopyPath(u"T:\\\\a.txt", 0),
              std::u16string(u"T:\\\\a.txt") + kPartialCopyTail);
}

TEST(PartialCopy, KeepsItsNameWithinTheLimitOfANameWithoutSplittingACharacter) {
    const std::u16string folder = u"T:\\Daten\\";
    const std::u16string longName(255, u'x');
    const std::u16string path = PartialCopyPath(folder + longName, 3);
    EXPECT_EQ(path.size() - folder.size(), 255u);
    EXPECT_TRUE(path.ends_with(u"~Kelvorin-Teilkopie-4.tmp"));
    EXPECT_TRUE(path.starts_with(folder + u"xxxx"));

    // A surrogate pair that the cut would split is dropped whole.
    const std::size_t keep = 255 - std::u16string(kPartialCopyTail).size();
    std::u16string withPair(keep - 1, u'y');
    withPair += u"\U0001F600";
    withPair += u"zz";
    const std::u16string cut = PartialCopyPath(folder + withPair, 0);
    EXPECT_EQ(cut, folder + std::u16string(keep - 1, u'y') + kPartialCopyTail);
}

struct NamePair {
    std::u16string a;
    std::u16string b;
    bool mayBeOne; // for a file system that ignores case
};

TEST(CaseBlindKey, IsSharedByEveryPairACaseBlindFileSystemMayTakeForOne) {
    const NamePair cases[] = {
        {u"Brief.doc", u"BRIEF.DOC", true},
        {u"\u00e4rger.txt", u"\u00c4RGER.txt", true}, // umlaut
        {u"\u03c3.txt", u"\u03a3.txt", true},         // Greek sigma
        {u"fi\u0131e", u"FIIE", true},                // dotless i
        {u"\u017fee", u"see", true},                  // long s
        {u"\u212aarte", u"karte", true},              // Kelvin sign
        {u"a.txt", u"b.txt", false},
        {u"Datei0001.txt", u"Datei0002.txt", false},
        {u"a.txt", u"a.txt ", false},
        {u"a-b", u"a_b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaseBlindKey(c.a) == CaseBlindKey(c.b), c.mayBeOne)
            << Narrow(c.a) << " / " << Narrow(c.b);
}

TEST(PartialCopy, NamesOfPartialCopiesAreRecognisedInAnyCase) {
    const std::u16string name = u"Brief.doc";
    for (int variant : {0, 1, 9}) {
        const std::u16string partial = PartialCopyPath(name, variant);
        EXPECT_TRUE(MayBePartialCopyName(partial)) << variant;
        std::u16string upper = partial;
        for (char16_t& c : upper)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        EXPECT_TRUE(MayBePartialCopyName(upper)) << variant;
    }
    EXPECT_TRUE(MayBePartialCopyName(PartialCopyPath(std::u16string(255, u'x'), 0)))
        << "a cut name keeps its tail";
    for (const std::u16string other :
         {u"Brief.doc", u"Brief.doc~Kelvorin.tmp", u"~WRL0001.tmp", u"Kelvorin-Teilkopie.tmp"})
        EXPECT_FALSE(MayBePartialCopyName(other)) << Narrow(other);
}

} // namespace
} // namespace kelvorin
