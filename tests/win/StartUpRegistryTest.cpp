#include "app/StartUp.h"
#include "app/win32/Win32StartUpServices.h"
#include "tests/support/win32/ScratchDrives.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>

namespace kelvorin::testing {
namespace {

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kScratchRoot[] = L"Software\\KelvorinTest";

// The key, made when missing; empty when it cannot be.
UniqueRegistryKey MakeKey(HKEY parent, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return {};
    return UniqueRegistryKey(key);
}

// Gives this process a stand-in for HKEY_CURRENT_USER under a scratch key of
// the prefix's own HKCU, so that the product code reads the very key it reads
// in use, while other test processes still see the real "Personal".
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info->name();
        scratch_ = std::wstring(kScratchRoot) + L"\\" + std::wstring(name.begin(), name.end());
        RegDeleteTreeW(HKEY_CURRENT_USER, scratch_.c_str());
        root_ = MakeKey(HKEY_CURRENT_USER, scratch_.c_str());
        ASSERT_TRUE(root_);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_.get()), ERROR_SUCCESS);
    }

    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        root_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, scratch_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, kScratchRoot); // only once it is empty
    }

    // Writes "Personal" with the given type and raw bytes (the key is created).
    void WritePersonal(DWORD type, const void* data, DWORD bytes) {
        const UniqueRegistryKey key = MakeKey(root_.get(), kShellFolders);
        ASSERT_TRUE(key);
        ASSERT_EQ(
            RegSetValueExW(key.get(), L"Personal", 0, type, static_cast<const BYTE*>(data), bytes),
            ERROR_SUCCESS);
    }
    void WritePersonal(DWORD type, const std::wstring& text) {
        WritePersonal(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    std::u16string DataDir() {
        Win32StartUpServices services;
        return DataDirFrom(services.PersonalFolder());
    }

private:
    std::wstring scratch_;
    UniqueRegistryKey root_;
};

TEST_F(RegistryTest, TakesAPlainStringFollowedByABackslash) {
    WritePersonal(REG_SZ, L"D:\\Meine Dateien");
    EXPECT_EQ(DataDir(), u"D:\\Meine Dateien\\");
}

TEST_F(RegistryTest, KeepsATrailingBackslashAndAddsAnother) {
    WritePersonal(REG_SZ, L"D:\\Dokumente\\");
    EXPECT_EQ(DataDir(), u"D:\\Dokumente\\\\");
}

TEST_F(RegistryTest, GivesABackslashForAnEmptyValue) {
    WritePersonal(REG_SZ, L"");
    EXPECT_EQ(DataDir(), u"\\");
}

TEST_F(RegistryTest, FallsBackToCForOtherTypesAndMissingValues) {
    EXPECT_EQ(DataDir(), u"C:\\") << "no key";

    ASSERT_TRUE(MakeKey(HKEY_CURRENT_USER, kShellFolders));
    EXPECT_EQ(DataDir(), u"C:\\") << "no value";

    WritePersonal(REG_EXPAND_SZ, L"%USERPROFILE%\\Documents");
    EXPECT_EQ(DataDir(), u"C:\\") << "REG_EXPAND_SZ";

    const DWORD number = 7;
    WritePersonal(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(DataDir(), u"C:\\") << "REG_DWORD";
}

TEST_F(RegistryTest, ReadsUpToTheFirstNulAndLongValuesWhole) {
    const wchar_t withNul[] = L"D:\\A\0B";
    WritePersonal(REG_SZ, withNul, sizeof withNul);
    EXPECT_EQ(DataDir(), u"D:\\A\\");

    // Without a terminating NUL, and longer than any fixed buffer would be.
    const std::wstring longPath = L"D:\\" + std::wstring(600, L'x');
    WritePersonal(REG_SZ, longPath.data(), static_cast<DWORD>(longPath.size() * sizeof(wchar_t)));
    EXPECT_EQ(DataDir(), U16(longPath) + u"\\");
}

// The prefix's own value, read without any stand-in.
TEST(RegistryOfThePrefix, GivesTheDocumentsDrive) {
    Win32StartUpServices services;
    const auto personal = services.PersonalFolder();
    ASSERT_TRUE(personal.has_value());
    EXPECT_EQ(*personal, std::u16string(1, DocsDrive()) + u":\\Dokumente");
}

// The process's own command line, as the system hands it over.
TEST(CommandLineOfTheProcess, SplitsIntoTheProgramAndItsArguments) {
    Win32StartUpServices services;
    const auto items = SplitCommandLine(services.CommandLine());
    ASSERT_GE(items.size(), 2u) << "the test runs with a filter argument";
    EXPECT_TRUE(items[0].ends_with(u"win_tests.exe"))
        << std::string(items[0].begin(), items[0].end());
    const std::string filter = "--gtest_filter=CommandLineOfTheProcess.";
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [&](const std::u16string& item) {
        return std::string(item.begin(), item.end()).starts_with(filter);
    }));
}

} // namespace
} // namespace kelvorin::testing
