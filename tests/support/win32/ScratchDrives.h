#pragma once
// The scratch drives that the test runner maps (tests/runner/wine-session.sh),
// a clean folder on them for each test, and small file helpers.
#include "set/win32/WideText.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kelvorin::testing {

// Drive letters named by the runner: source, target, a 2 MB tmpfs, documents.
wchar_t SourceDrive();
wchar_t TargetDrive();
wchar_t SmallDrive();
wchar_t DocsDrive();

// The names in a folder, sorted, without "." and ".."; with its folders or without.
enum class Listing { FilesAndFolders, FilesOnly };
std::vector<std::wstring> NamesIn(const std::wstring& folder,
                                  Listing listing = Listing::FilesAndFolders);

// Every file below the folder, with its path below it ("\\Teil\\a.bin") and its entry.
void ForEachFileBelow(
    const std::wstring& folder,
    const std::function<void(const std::wstring& below, const WIN32_FIND_DATAW& entry)>& visit);

// Deletes the folder with everything in it (read-only files included), then
// creates it empty. Returns the path without trailing backslash.
std::wstring MakeCleanFolder(const std::wstring& path);
void RemoveTree(const std::wstring& path);

void WriteTextFile(const std::wstring& path, const std::string& bytes);
// Bytes in the code page (CP_ACP for the log file) as text, and its CR LF lines.
std::wstring DecodeText(const std::string& bytes, UINT codePage);
std::vector<std::wstring> TextLines(const std::wstring& text);
std::string ReadWholeFile(const std::wstring& path); // throws when it cannot be opened
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Last-write time as local wall-clock time.
void SetLocalWriteTime(const std::wstring& path, int year, int month, int day, int hour, int minute,
                       int second);
// A file with these bytes, last written at this local time.
void WriteTextFileWithTime(const std::wstring& path, const std::string& bytes, int year, int month,
                           int day, int hour, int minute, int second);
SYSTEMTIME LocalWriteTime(const std::wstring& path);
// The local write time to the second, as SetLocalWriteTime takes it.
using WriteTimeFields = std::tuple<int, int, int, int, int, int>;
WriteTimeFields WriteTime(const std::wstring& path);

// Holds a file open with share mode 0 for the lifetime of the object.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path);

private:
    UniqueFile handle_;
};

// A test with a clean folder S:\<Suite>_<Test> and T:\<Suite>_<Test>; the
// backup of a path under Source() is the same path on the target drive.
class DriveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring Source(const std::wstring& relative = L"") const;
    std::wstring Target(const std::wstring& relative = L"") const;
    std::wstring FolderName() const { return name_; }

private:
    std::wstring name_;
};

} // namespace kelvorin::testing
