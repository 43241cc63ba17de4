#include "app/SetFile.h"
#include "engine/win32/Win32FileServices.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

// A set as the window holds it before a load: something in every setting.
BackupSet BusySet() {
    BackupSet set;
    set.folders.Add(u"C:\\Alt");
    set.SetDriveIndex(9);
    set.synchron = true;
    return set;
}

class SetFileTest : public DriveTest {
protected:
    std::u16string Path(const std::wstring& relative) const { return U16(Source(relative)); }

    std::optional<SetFileError> Load(std::u16string_view path) {
        return LoadSet(path, io_, set_, workList_);
    }
    std::optional<SetFileError> Save(std::u16string_view path, const BackupSet& set) {
        return SaveSet(path, io_, set);
    }
    void ExpectClearedWithDrive(int drive) {
        EXPECT_EQ(set_.folders.Count(), 0u);
        EXPECT_TRUE(set_.exclusions.empty());
        EXPECT_FALSE(set_.synchron);
        EXPECT_EQ(set_.DriveIndex(), drive);
        EXPECT_EQ(workList_.Count(), 0u);
    }

    Win32FileServices fs_;
    Win32CodePage codePage_;
    SetFileIo io_{fs_, codePage_};
    BackupSet set_ = BusySet();
    SortedList workList_;
};

TEST_F(SetFileTest, SavesTheExampleAsItsSixLinesAndLoadsItBack) {
    const auto path = Path(L"Kelvorin.ini");
    WriteTextFile(Wide(path), std::string(500, 'x')); // a longer old file leaves nothing behind
    ASSERT_FALSE(Save(path, ExampleSet()));
    EXPECT_EQ(ReadWholeFile(Wide(path)), kExampleSetFile);
    EXPECT_FALSE(FileExists(Wide(SaveTempPath(path))));

    workList_.Add(u"Protokollzeile");
    ASSERT_FALSE(Load(path));
    EXPECT_EQ(set_.folders.Items(), (std::vector<std::u16string>{u"C:\\Daten", u"C:\\Projekte"}));
    EXPECT_EQ(set_.exclusions, (std::vector<std::u16string>{u"bak", u"tmp"}));
    EXPECT_EQ(set_.DriveIndex(), 5);
    EXPECT_TRUE(set_.synchron);
    EXPECT_EQ(workList_.Count(), 0u);
}

TEST_F(SetFileTest, WritesTheAnsiCodePageWithBestFitCharacters) {
    BackupSet set;
    set.folders.Add(u"C:\\Gr\u00FC\u00DFe");
    set.folders.Add(u"C:\\\u0141\u00F3d\u017A");
    set.exclusions.clear();
    const auto path = Path(L"Kelvorin.ini");
    ASSERT_FALSE(Save(path, set));
    EXPECT_EQ(ReadWholeFile(Wide(path)), "Laufwerk=4\r\nSynchron=FALSE\r\nOrdner=C:\\Gr\xFC\xDF"
                                         "e\r\nOrdner=C:\\L\xF3"
                                         "dz\r\n");
}

TEST_F(SetFileTest, PassesOverAMissingOrLockedFile) {
    EXPECT_FALSE(Load(Path(L"fehlt.ini")));
    ExpectClearedWithDrive(9);

    const auto path = Path(L"Kelvorin.ini");
    WriteTextFile(Wide(path), kExampleSetFile);
    {
        LockedFile lock(Wide(path));
        set_ = BusySet();
        EXPECT_FALSE(Load(path));
        ExpectClearedWithDrive(9);
        EXPECT_FALSE(Save(path, BackupSet{}));
    }
    EXPECT_EQ(ReadWholeFile(Wide(path)), kExampleSetFile);
    EXPECT_FALSE(FileExists(Wide(SaveTempPath(path))));
}

TEST_F(SetFileTest, PassesOverAFileThatCannotBeCreatedOrReplaced) {
    EXPECT_FALSE(Save(Path(L"fehlt\\Kelvorin.ini"), ExampleSet()));
    EXPECT_FALSE(FolderExists(Source(L"fehlt")));

    // Windows refuses to replace a read-only file; so must the save under Wine.
    const auto path = Path(L"Kelvorin.ini");
    WriteTextFile(Wide(path), "alt");
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Save(path, ExampleSet()));
    EXPECT_EQ(ReadWholeFile(Wide(path)), "alt");
    EXPECT_FALSE(FileExists(Wide(SaveTempPath(path))));
}

TEST_F(SetFileTest, WritesInPlaceWhereNoTemporaryFileCanBeMade) {
    const auto path = Path(L"Kelvorin.ini");
    WriteTextFile(Wide(path), std::string(500, 'x'));
    MakeCleanFolder(Wide(SaveTempPath(path))); // a folder holds the temporary file's name
    ASSERT_FALSE(Save(path, ExampleSet()));
    EXPECT_EQ(ReadWholeFile(Wide(path)), kExampleSetFile);
    EXPECT_TRUE(FolderExists(Wide(SaveTempPath(path))));
}

TEST_F(SetFileTest, RefusesPathsOfMoreThan259Characters) {
    // A folder that leaves room for a file name of the right length.
    const std::wstring folder = Source(std::wstring(200 - Source().size(), L'o'));
    ASSERT_TRUE(fs_.MakeFolderChain(U16(folder)));
    const auto longest =
        U16(folder + L"\\" + std::wstring(259 - folder.size() - 5, L'n') + L".ini");
    ASSERT_EQ(longest.size(), 259u);
    const auto tooLong = longest.substr(0, longest.size() - 4) + u"n.ini";
    ASSERT_EQ(tooLong.size(), 260u);

    ASSERT_FALSE(Save(longest, ExampleSet()));
    EXPECT_EQ(ReadWholeFile(Wide(longest)), kExampleSetFile);
    ASSERT_FALSE(Load(longest));
    EXPECT_EQ(set_.folders.Count(), 2u);

    const auto saveError = Save(tooLong, ExampleSet());
    ASSERT_TRUE(saveError);
    EXPECT_EQ(saveError->code, 3u);
    EXPECT_EQ(saveError->Text(), u"Ungültiger Dateiname");
    EXPECT_FALSE(FileExists(Wide(tooLong)));

    WriteTextFile(Wide(tooLong), kExampleSetFile);
    set_ = BusySet();
    workList_.Add(u"Protokollzeile");
    const auto loadError = Load(tooLong);
    ASSERT_TRUE(loadError);
    EXPECT_EQ(loadError->code, 3u);
    ExpectClearedWithDrive(9); // cleared before the refusal
}

TEST_F(SetFileTest, KeepsTheOldFileWhenTheDiskIsFull) {
    const std::wstring folder =
        MakeCleanFolder(std::wstring(1, SmallDrive()) + L":\\" + FolderName());
    const auto path = U16(folder + L"\\Kelvorin.ini");
    ASSERT_FALSE(Save(path, ExampleSet()));

    // More text than the 2 MB drive holds.
    BackupSet big = ExampleSet();
    for (int i = 0; i < 12000; ++i)
        big.folders.Add(u"C:\\" + std::u16string(200, u'a') + U16(std::to_wstring(i)));
    const auto error = Save(path, big);
    ASSERT_TRUE(error) << "a failed write must not pass as saved";
    EXPECT_TRUE(error->code == 101 || error->code == ERROR_DISK_FULL) << "code " << error->code;
    EXPECT_EQ(ReadWholeFile(Wide(path)), kExampleSetFile);
    EXPECT_FALSE(FileExists(Wide(SaveTempPath(path))));
    RemoveTree(folder);
}

// A read that fails after the first chunk cannot be made real.
class FailingSecondRead : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        if (++reads_ == 2) {
            failed_ = true;
            return -1;
        }
        return ForwardingFileServices::ReadChunk(h, buffer, n);
    }
    std::uint32_t LastError() override {
        return failed_ ? ERROR_CRC : ForwardingFileServices::LastError();
    }

private:
    int reads_ = 0;
    bool failed_ = false;
};

TEST_F(SetFileTest, KeepsWhatWasReadBeforeAReadError) {
    // The first chunk holds these lines whole; the failing read comes after.
    std::string bytes = "Laufwerk=7\r\nSynchron=TRUE\r\nOrdner=C:\\b\r\nOrdner=C:\\a\r\n"
                        "Ausschluss=tmp\r\nAusschluss=BAK\r\n";
    while (bytes.size() < 200000)
        bytes += "Kommentar ohne Gleichheitszeichen\r\n";
    bytes += "Ordner=C:\\z\r\nLaufwerk=2\r\n";
    const auto path = Path(L"Kelvorin.ini");
    WriteTextFile(Wide(path), bytes);

    FailingSecondRead failing(fs_);
    const auto error = LoadSet(path, SetFileIo{failing, codePage_}, set_, workList_);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Text(), u"E/A-Fehler 23");
    EXPECT_EQ(set_.folders.Items(), (std::vector<std::u16string>{u"C:\\a", u"C:\\b"}));
    EXPECT_TRUE(set_.synchron);
    EXPECT_TRUE(set_.exclusions.empty());
    EXPECT_EQ(workList_.Items(), (std::vector<std::u16string>{u"bak", u"tmp"}));
    EXPECT_EQ(set_.DriveIndex(), 9) << "the drive stays as it was";
}

} // namespace
} // namespace kelvorin::testing
