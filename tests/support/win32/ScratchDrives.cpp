#include "tests/support/win32/ScratchDrives.h"
#include "tests/support/win32/ProgramDriver.h"
#include "win32/Handles.h"

#include <algorithm>
#include <stdexcept>

namespace kelvorin::testing {

namespace {

wchar_t DriveFromEnvironment(const char* name, wchar_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? static_cast<wchar_t>(*value) : fallback;
}

void ClearReadOnly(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

} // namespace

wchar_t SourceDrive() {
    return DriveFromEnvironment("KELVORIN_SOURCE_DRIVE", L'S');
}
wchar_t TargetDrive() {
    return DriveFromEnvironment("KELVORIN_TARGET_DRIVE", L'T');
}
wchar_t SmallDrive() {
    return DriveFromEnvironment("KELVORIN_SMALL_DRIVE", L'V');
}
wchar_t DocsDrive() {
    return DriveFromEnvironment("KELVORIN_DOCS_DRIVE", L'K');
}

namespace {

void VisitFilesBelow(
    const std::wstring& folder, const std::wstring& below,
    const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW data;
    const UniqueFolderListing find(FindFirstFileW((folder + below + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            VisitFilesBelow(folder, below + L"\\" + name, visit);
        else
            visit(below + L"\\" + name, data);
    } while (FindNextFileW(find.get(), &data));
}

} // namespace

void ForEachFileBelow(
    const std::wstring& folder,
    const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    VisitFilesBelow(folder, L"", visit);
}

std::vector<std::wstring> NamesIn(const std::wstring& folder, Listing listing) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const UniqueFolderListing find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (listing == Listing::FilesOnly && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        names.push_back(name);
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    // The listing is closed before its folder goes.
    if (WIN32_FIND_DATAW data;
        const UniqueFolderListing find{FindFirstFileW((path + L"\\*").c_str(), &data)}) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link) {
                RemoveTree(child);
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(child.c_str());
            } else {
                ClearReadOnly(child);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    ClearReadOnly(path);
    RemoveDirectoryW(path.c_str());
}

std::wstring MakeCleanFolder(const std::wstring& path) {
    RemoveTree(path);
    for (std::size_t pos = 3; pos != std::wstring::npos; pos = path.find(L'\\', pos + 1))
        CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    if (!FolderExists(path)) throw std::runtime_error("cannot create a scratch folder");
    return path;
}

void WriteTextFile(const std::wstring& path, const std::string& bytes) {
    for (std::size_t pos = path.find(L'\\', 3); pos != std::wstring::npos;
         pos = path.find(L'\\', pos + 1))
        CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a test file");
}

std::wstring DecodeText(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::vector<std::wstring> TextLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string ReadWholeFile(const std::wstring& path) {
    if (auto bytes = remote::ReadFileNow(path)) return std::move(*bytes);
    throw std::runtime_error("cannot open a test file");
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void SetLocalWriteTime(const std::wstring& path, int year, int month, int day, int hour, int minute,
                       int second) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    const UniqueFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) throw std::runtime_error("cannot open a file to set its time");
    // With the access time: the FUSE drivers of the stick tests ignore a
    // write time that comes alone.
    SetFileTime(file.get(), nullptr, &utc, &utc);
}

void WriteTextFileWithTime(const std::wstring& path, const std::string& bytes, int year, int month,
                           int day, int hour, int minute, int second) {
    WriteTextFile(path, bytes);
    SetLocalWriteTime(path, year, month, day, hour, minute, second);
}

SYSTEMTIME LocalWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    FILETIME local;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    SYSTEMTIME st{};
    FileTimeToSystemTime(&local, &st);
    return st;
}

WriteTimeFields WriteTime(const std::wstring& path) {
    const SYSTEMTIME t = LocalWriteTime(path);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!handle_) throw std::runtime_error("cannot lock a test file");
}

void DriveTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    name_.assign(name.begin(), name.end());
    MakeCleanFolder(Source());
    MakeCleanFolder(Target());
}

void DriveTest::TearDown() {
    // Left in place when the test failed, for a look at what it did.
    if (HasFailure()) return;
    RemoveTree(Source());
    RemoveTree(Target());
}

std::wstring DriveTest::Source(const std::wstring& relative) const {
    std::wstring path = std::wstring(1, SourceDrive()) + L":\\" + name_;
    return relative.empty() ? path : path + L"\\" + relative;
}

std::wstring DriveTest::Target(const std::wstring& relative) const {
    std::wstring path = std::wstring(1, TargetDrive()) + L":\\" + name_;
    return relative.empty() ? path : path + L"\\" + relative;
}

} // namespace kelvorin::testing
