#include "app/MainForm.h"
#include "engine/win32/Win32FileServices.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/win32/ScratchDrives.h"

#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

class RecordingHost : public MainFormHost {
public:
    std::vector<std::u16string> errors;
    std::optional<std::u16string> openAnswer, saveAnswer;
    int opens = 0, saves = 0;
    void ShowError(const std::u16string& text) override { errors.push_back(text); }
    std::optional<std::u16string> AskSetFileToOpen() override {
        ++opens;
        return openAnswer;
    }
    std::optional<std::u16string> AskSetFileToSave() override {
        ++saves;
        return saveAnswer;
    }
};

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
    RecordingHost host_;
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
    EXPECT_EQ(form_.set.folders.Count(), 0u);
    EXPECT_TRUE(form_.set.exclusions.empty());
    EXPECT_EQ(form_.set.DriveIndex(), 4);

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
    EXPECT_EQ(form_.set.folders.Count(), 2u);

    // Saved under the same relative name, into the current folder of that moment.
    MakeCleanFolder(Source(L"woanders"));
    SetCurrentDirectoryW(Source(L"woanders").c_str());
    form_.set.SetDriveIndex(-1);
    ASSERT_TRUE(form_.FormCloseQuery());
    EXPECT_EQ(ReadWholeFile(Source(L"woanders\\Kelvorin.ini")).substr(0, 13), "Laufwerk=-1\r\n");
    EXPECT_EQ(ReadWholeFile(Source(L"hier\\Kelvorin.ini")), kExampleSetFile);
}

TEST_F(MainFormTest, TakesOneArgumentWithItsExtensionChanged) {
    WriteTextFile(Source(L"hier\\Sets\\Projekt.ini"), kExampleSetFile);
    startUp_.commandLine = u"\"C:\\Program Files\\Kelvorin.exe\" Sets\\Projekt.txt";
    ASSERT_TRUE(form_.FormCreate());
    EXPECT_EQ(form_.locations.setFilePath, u"Sets\\Projekt.ini");
    EXPECT_TRUE(form_.set.synchron);

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
    EXPECT_EQ(form_.set.DriveIndex(), 4);
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
    EXPECT_EQ(form_.set.DriveIndex(), 4);

    WriteTextFile(Source(L"Projekt.ini"), kExampleSetFile);
    host_.openAnswer = U16(Source(L"Projekt.ini"));
    form_.workList.Add(u"Protokollzeile");
    form_.FileOpenItemClick();
    EXPECT_EQ(form_.locations.setFilePath, *host_.openAnswer);
    EXPECT_EQ(form_.set.DriveIndex(), 5);
    EXPECT_EQ(form_.workList.Count(), 0u);

    host_.saveAnswer = U16(Source(L"Kopie.ini"));
    form_.FileSaveItemClick();
    EXPECT_EQ(form_.locations.setFilePath, *host_.saveAnswer);
    EXPECT_EQ(ReadWholeFile(Source(L"Kopie.ini")), kExampleSetFile);

    form_.workList.Add(u"Protokollzeile");
    form_.FileNeuItemClick();
    EXPECT_EQ(form_.locations.setFilePath, DataDir() + u"Kelvorin.ini");
    EXPECT_EQ(form_.set.folders.Count(), 0u);
    EXPECT_EQ(form_.set.exclusions, BackupSet::DefaultExclusions());
    EXPECT_EQ(form_.set.DriveIndex(), 4);
    EXPECT_FALSE(form_.set.synchron);
    EXPECT_EQ(form_.workList.Count(), 0u);
    EXPECT_FALSE(FileExists(Source(L"Dokumente\\Kelvorin.ini"))) << "nothing is written";
    EXPECT_TRUE(host_.errors.empty());
}

} // namespace
} // namespace kelvorin::testing
