#include "app/MainForm.h"
#include "engine/win32/Win32FileServices.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/win32/ScratchDrives.h"

#include "tests/support/Fixtures.h"
#include "tests/support/MemoryFormHost.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

// Start-up and close on the real file system; the documents folder is the
// test's source folder, the current folder its "hier" subfolder.
class MainFormTest : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        startUp_.personal = U16(Source(L"Dokumente"));
        MakeCleanFolder(Source(L"Dokumente"));
        MakeCleanFolder(Source(L"hier"));
        wchar_t old[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, old);
        oldCurrent_ = old;
        SetCurrentDirectoryW(Source(L"hier").c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(oldCurrent_.c_str());
        DriveTest::TearDown();
    }
    std::u16string DataDir() const { return U16(Source(L"Dokumente\\")); }

    FixedStartUp startUp_;
    MemoryFormHost host_;
    Win32FileServices fs_;
    Win32CodePage codePage_;
    RunFlags flags_;
    MainForm form_{host_, startUp_, SetFileIo{fs_, codePage_}, flags_};

private:
    std::wstring oldCurrent_;
};

TEST_F(MainFormTest, StartsWithTheDefaultFileInTheDocumentsFolderAndCreatesItOnClose) {
    flags_.cancelled = true;
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.dataDir, DataDir());
    EXPECT_EQ(form_.locations.browseDir, DataDir());
    EXPECT_EQ(form_.locations.setFilePath, DataDir() + u"Kelvorin.ini");
    EXPECT_FALSE(flags_.cancelled);
    // The first start shows an empty set on drive E:.
    EXPECT_EQ(host_.set.folders.Count(), 0u);
    EXPECT_TRUE(host_.set.exclusions.empty());
    EXPECT_EQ(host_.set.DriveIndex(), 4);

    ASSERT_TRUE(form_.FormCloseQuery());
    EXPECT_TRUE(flags_.cancelled);
    EXPECT_EQ(ReadWholeFile(Source(L"Dokumente\\Kelvorin.ini")),
              "Laufwerk=4\r\nSynchron=FALSE\r\n");
    EXPECT_TRUE(host_.errors.empty());
}

TEST_F(MainFormTest, UsesAFileOfTheCurrentFolderUnderItsRelativeName) {
    WriteTextFile(Source(L"hier\\Kelvorin.ini"), kExampleSetFile);
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.setFilePath, u"Kelvorin.ini");
    EXPECT_EQ(host_.set.folders.Count(), 2u);

    // Saved under the same relative name, into the current folder of that moment.
    MakeCleanFolder(Source(L"woanders"));
    SetCurrentDirectoryW(Source(L"woanders").c_str());
    host_.set.SetDriveIndex(-1);
    ASSERT_TRUE(form_.FormCloseQuery());
    EXPECT_EQ(ReadWholeFile(Source(L"woanders\\Kelvorin.ini")).substr(0, 13), "Laufwerk=-1\r\n");
    EXPECT_EQ(ReadWholeFile(Source(L"hier\\Kelvorin.ini")), kExampleSetFile);
}

TEST_F(MainFormTest, TakesOneArgumentWithItsExtensionChanged) {
    WriteTextFile(Source(L"hier\\Sets\\Projekt.ini"), kExampleSetFile);
    startUp_.commandLine = u"\"C:\\Program Files\\Kelvorin.exe\" Sets\\Projekt.txt";
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.setFilePath, u"Sets\\Projekt.ini");
    EXPECT_TRUE(host_.set.synchron);

    // Not here: taken inside the documents folder.
    startUp_.commandLine = u"Kelvorin.exe \"Mein Projekt\"";
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.setFilePath, DataDir() + u"Mein Projekt.ini");

    // Two arguments count as none.
    startUp_.commandLine = u"Kelvorin.exe Sets\\Projekt x";
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.setFilePath, DataDir() + u"Kelvorin.ini");
}

TEST_F(MainFormTest, ShowsAStartUpErrorAndSkipsTheRest) {
    startUp_.commandLine = u"Kelvorin.exe " + U16(Source(L"")) + u"\\" + std::u16string(260, u'x');
    EXPECT_FALSE(form_.FormCreate());
    EXPECT_EQ(host_.errors, (std::vector<std::u16string>{u"Ungültiger Dateiname"}));
    EXPECT_FALSE(flags_.cancelled);
    EXPECT_EQ(host_.set.DriveIndex(), 4);
}

TEST_F(MainFormTest, RefusesTheCloseWhenTheSaveFails) {
    ASSERT_TRUE(form_.FormCreate());
    host_.saveAnswer = U16(Source(L"")) + u"\\" + std::u16string(260, u'x') + u".ini";
    form_.FileSaveItemClick(); // the long name becomes the current set file
    ASSERT_EQ(host_.errors.size(), 1u);

    EXPECT_FALSE(form_.FormCloseQuery());
    EXPECT_TRUE(flags_.cancelled);
    EXPECT_EQ(host_.errors.size(), 2u);
    EXPECT_EQ(host_.errors.back(), u"Ungültiger Dateiname");
}

TEST_F(MainFormTest, OpensSavesAndStartsNewSets) {
    ASSERT_TRUE(form_.FormCreate());
    const auto start = form_.locations.setFilePath;

    // Cancelled dialogs change nothing, not even the set file.
    form_.FileOpenItemClick();
    form_.FileSaveItemClick();
    EXPECT_EQ(host_.opens + host_.saves, 2);
    EXPECT_EQ(form_.locations.setFilePath, start);
    EXPECT_EQ(host_.set.DriveIndex(), 4);

    WriteTextFile(Source(L"Projekt.ini"), kExampleSetFile);
    host_.openAnswer = U16(Source(L"Projekt.ini"));
    host_.workList.Add(u"Protokollzeile");
    form_.FileOpenItemClick();
    EXPECT_EQ(form_.locations.setFilePath, *host_.openAnswer);
    EXPECT_EQ(host_.set.DriveIndex(), 5);
    EXPECT_EQ(host_.workList.Count(), 0u);

    host_.saveAnswer = U16(Source(L"Kopie.ini"));
    form_.FileSaveItemClick();
    EXPECT_EQ(form_.locations.setFilePath, *host_.saveAnswer);
    EXPECT_EQ(ReadWholeFile(Source(L"Kopie.ini")), kExampleSetFile);

    host_.workList.Add(u"Protokollzeile");
    form_.FileNeuItemClick();
    EXPECT_EQ(form_.locations.setFilePath, DataDir() + u"Kelvorin.ini");
    EXPECT_EQ(host_.set.folders.Count(), 0u);
    EXPECT_EQ(host_.set.exclusions, BackupSet::DefaultExclusions());
    EXPECT_EQ(host_.set.DriveIndex(), 4);
    EXPECT_FALSE(host_.set.synchron);
    EXPECT_EQ(host_.workList.Count(), 0u);
    EXPECT_FALSE(FileExists(Source(L"Dokumente\\Kelvorin.ini"))) << "nothing is written";
    EXPECT_TRUE(host_.errors.empty());
}

// Adding a folder, with the chooser's answers given by the test.
TEST_F(MainFormTest, AddsTheChosenFolderAndOpensNextInItsParent) {
    ASSERT_TRUE(form_.FormCreate());
    const struct {
        std::u16string chosen;
        std::u16string browseDirAfter;
    } rows[] = {
        {u"D:\\Daten\\Fotos", u"D:\\Daten\\"},
        {u"D:\\Daten", u"D:\\"},
        {u"D:\\", u"D:\\"},
        {u"E:\\a\\b\\c", u"E:\\a\\b\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.chosen.begin(), row.chosen.end()));
        const std::u16string openedAt = form_.locations.browseDir;
        host_.chooserAnswer = row.chosen;
        form_.AddOrdnerItemClick();
        EXPECT_EQ(host_.chooserOpenedAt.back(), openedAt);
        EXPECT_TRUE(host_.set.folders.Contains(row.chosen));
        EXPECT_EQ(form_.locations.browseDir, row.browseDirAfter);
    }
    EXPECT_EQ(
        host_.set.folders.Items(),
        (std::vector<std::u16string>{u"D:\\", u"D:\\Daten", u"D:\\Daten\\Fotos", u"E:\\a\\b\\c"}));
}

TEST_F(MainFormTest, TheCutKeepsShortTextsAndDriveRootsWhole) {
    EXPECT_EQ(BrowseDirAfter(u"D:"), u"D:");
    EXPECT_EQ(BrowseDirAfter(u""), u"");
    EXPECT_EQ(BrowseDirAfter(u"D:\\Daten\\"), u"D:\\Daten\\");
    EXPECT_EQ(BrowseDirAfter(u"\\\\server"), u"\\\\s") << "no backslash at position 4 or later";
}

TEST_F(MainFormTest, AnExactDuplicateIsNotAddedButACaseVariantIs) {
    ASSERT_TRUE(form_.FormCreate());
    host_.set.folders.Add(u"D:\\Daten");
    host_.chooserAnswer = u"D:\\Daten";
    form_.AddOrdnerItemClick();
    EXPECT_EQ(host_.set.folders.Count(), 1u);
    EXPECT_EQ(form_.locations.browseDir, u"D:\\") << "it moves even when nothing was added";

    host_.chooserAnswer = u"d:\\daten";
    form_.AddOrdnerItemClick();
    EXPECT_EQ(host_.set.folders.Items(), (std::vector<std::u16string>{u"D:\\Daten", u"d:\\daten"}));
}

TEST_F(MainFormTest, LeavingTheChooserChangesNothing) {
    ASSERT_TRUE(form_.FormCreate());
    host_.set.folders.Add(u"D:\\Daten");
    host_.chooserAnswer.reset();
    form_.AddOrdnerItemClick();
    EXPECT_EQ(host_.chooserOpenedAt.size(), 1u);
    EXPECT_EQ(host_.set.folders.Count(), 1u);
    EXPECT_EQ(form_.locations.browseDir, DataDir());
}

} // namespace
} // namespace kelvorin::testing
