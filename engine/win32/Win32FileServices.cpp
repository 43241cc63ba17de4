#include "engine/win32/Win32FileServices.h"

#include "engine/Paths.h"
#include "engine/win32/Win32DriveLock.h"
#include "set/win32/WideText.h"
#include "win32/FullPath.h"
#include "win32/Handles.h"

namespace kelvorin {

DosStamp Win32FileServices::StampOf(const FILETIME& utc) {
    const FILETIME local = localTime_.ToLocal(utc);
    WORD date = 0, time = 0;
    if (!FileTimeToDosDateTime(&local, &date, &time)) return kNoStamp;
    return static_cast<DosStamp>((static_cast<std::uint32_t>(date) << 16) | time);
}

namespace {

FileTime TimeOf(const FILETIME& utc) {
    return (static_cast<FileTime>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

// ReadFile and WriteFile take a DWORD, and a length up to the largest int is
// what every system version accepts for one call.
DWORD ChunkLength(std::int64_t n) {
    constexpr std::int64_t kLargestChunk = 0x7FFFFFFF;
    return static_cast<DWORD>(n > kLargestChunk ? kLargestChunk : n);
}

// CreateDirectoryW stops at MAX_PATH - 12; the files at MAX_PATH - 1.
// From this length on, every call gets the "\\?\" form.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;
// The longest path the system takes, its prefix included. A longer one is
// counted in 16 bits on its way down and comes out as a short path that may
// exist (an entry of 32,768 letters after "R:\" would be "R:\" itself).
constexpr std::size_t kLongestPath = 32767;

HANDLE AsHandle(FileServices::Handle h) {
    return reinterpret_cast<HANDLE>(h);
}
FileServices::Handle AsValue(HANDLE h) {
    return reinterpret_cast<FileServices::Handle>(h);
}

// Opens that keep nobody out: a look at a file's times or existence.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// "D:\", as the volume functions take a drive.
std::wstring RootOf(DriveLetter drive) {
    return Wide(drive.Root());
}

// The last-write time of a link's target, when the path is a link to a file.
bool TargetWriteTime(const std::wstring& path, FILETIME& utc) {
    const UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && GetFileTime(file.get(), nullptr, nullptr, &utc);
}

FileServices::Handle Open(std::u16string_view path, DWORD access, DWORD share, DWORD how,
                          DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return AsValue(
        CreateFileW(SystemPath(path).c_str(), access, share, nullptr, how, flags, nullptr));
}

} // namespace

std::wstring SystemPath(std::u16string_view path) {
    // Too long for the system: no path at all, which names nothing.
    if (path.size() > kLongestPath) return {};
    std::wstring p = Wide(path);
    if (p.size() < kLongPathFrom || p.starts_with(L"\\\\?\\")) return p;
    // The walk joins a drive root and a name into "D:\\name"; the "\\?\" form
    // would take that literally.
    p = win32::FullPath(Wide(SingleBackslashes(path)));
    if (p.starts_with(L"\\\\"))
        p = L"\\\\?\\UNC\\" + p.substr(2);
    else
        p = L"\\\\?\\" + p;
    return p.size() > kLongestPath ? std::wstring() : p;
}

bool Win32FileServices::ListFolder(std::u16string_view pattern,
                                   const std::function<void(const FolderEntry&)>& visit) {
    WIN32_FIND_DATAW data;
    const UniqueFolderListing find(FindFirstFileW(SystemPath(pattern).c_str(), &data));
    // An empty drive root lists no "." and "..": nothing found there is no failure.
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring_view name(data.cFileName);
        const std::u16string_view name16(reinterpret_cast<const char16_t*>(name.data()),
                                         name.size());
        const bool reparse = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        const std::uint64_t size =
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // A link's entry has the link's own time, not its target's.
        const bool plainFile = !reparse && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        visit(FolderEntry{name16, data.dwFileAttributes, reparse ? data.dwReserved0 : 0, size,
                          plainFile ? StampOf(data.ftLastWriteTime) : kNoStamp});
    } while (FindNextFileW(find.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

DosStamp Win32FileServices::GetFileStamp(std::u16string_view path) {
    const std::wstring p = SystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data)) return kNoStamp;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return kNoStamp;
    FILETIME utc = data.ftLastWriteTime;
    // A link's own entry carries the link's time; the target's is wanted. A
    // target in use is read from the link's entry.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) TargetWriteTime(p, utc);
    return StampOf(utc);
}

DosStamp Win32FileServices::GetHandleStamp(Handle h) {
    FILETIME utc;
    if (!GetFileTime(AsHandle(h), nullptr, nullptr, &utc)) return kNoStamp;
    return StampOf(utc);
}

bool Win32FileServices::SetHandleStamp(Handle h, DosStamp stamp, Handle accessFrom) {
    if (stamp == kNoStamp) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const auto value = static_cast<std::uint32_t>(stamp);
    FILETIME local;
    if (!DosDateTimeToFileTime(static_cast<WORD>(value >> 16), static_cast<WORD>(value & 0xFFFF),
                               &local))
        return false;
    const FILETIME utc = localTime_.ToUtc(local);
    FILETIME access = utc;
    if (accessFrom != kInvalidHandle &&
        !GetFileTime(AsHandle(accessFrom), nullptr, &access, nullptr))
        return false;
    return SetFileTime(AsHandle(h), nullptr, &access, &utc) != 0;
}

bool Win32FileServices::SetFileStamp(std::u16string_view path, DosStamp stamp) {
    const UniqueFile file(AsHandle(Open(path, FILE_WRITE_ATTRIBUTES, kShareAll, OPEN_EXISTING)));
    return file && SetHandleStamp(AsValue(file.get()), stamp, kInvalidHandle);
}

bool Win32FileServices::SetHandleTime(Handle h, FileTime time) {
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(time);
    utc.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return SetFileTime(AsHandle(h), nullptr, &utc, &utc) != 0;
}

std::int64_t Win32FileServices::LocalOffset() {
    return localTime_.Offset();
}

std::int64_t Win32FileServices::HandleSize(Handle h) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(h), &size)) return -1;
    return size.QuadPart;
}

namespace {

// A link to a file counts as one when its target opens or is in use.
bool LinkTargetExists(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return file || GetLastError() == ERROR_SHARING_VIOLATION;
}

// 0 when the target is in use.
std::uint64_t LinkTargetSize(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace

std::optional<FileFacts> Win32FileServices::ExistingFile(std::u16string_view path) {
    const std::wstring p = SystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    // Links are rare: they take the separate answers.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!LinkTargetExists(p)) return std::nullopt;
        FILETIME utc = data.ftLastWriteTime;
        TargetWriteTime(p, utc);
        return FileFacts{StampOf(utc), LinkTargetSize(p), TimeOf(utc)};
    }
    return FileFacts{StampOf(data.ftLastWriteTime),
                     (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                     TimeOf(data.ftLastWriteTime)};
}

PathInfo Win32FileServices::LookUp(std::u16string_view path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {notFound ? PathState::Missing : PathState::Unknown, kNoAttributes};
    }
    return {(attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathState::Folder : PathState::File,
            attributes};
}

bool Win32FileServices::MakeFolderChain(std::u16string_view path) {
    while (path.ends_with(u'\\'))
        path.remove_suffix(1);
    if (path.empty()) return false;
    // Bottom up: most often the parent is there and one call makes the folder;
    // each look-up of a folder above would resolve its whole path once more.
    if (CreateDirectoryW(SystemPath(path).c_str(), nullptr)) return true;
    if (const DWORD error = GetLastError(); error != ERROR_PATH_NOT_FOUND) {
        // There already, or not makeable; a folder of that name is what was asked for.
        if (IsExistingFolder(path)) return true;
        SetLastError(error);
        return false;
    }
    std::u16string_view parent = path.substr(0, path.rfind(u'\\') + 1);
    while (parent.ends_with(u'\\'))
        parent.remove_suffix(1);
    // A drive's root is there, or nothing on it can be made.
    if (parent.empty() || (parent.size() == 2 && parent[1] == u':') || !MakeFolderChain(parent))
        return false;
    if (CreateDirectoryW(SystemPath(path).c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && IsExistingFolder(path)) return true;
    SetLastError(error);
    return false;
}

bool Win32FileServices::DeleteOneFile(std::u16string_view path) {
    return DeleteFileW(SystemPath(path).c_str()) != 0;
}

bool Win32FileServices::RemoveOneFolder(std::u16string_view path) {
    return RemoveDirectoryW(SystemPath(path).c_str()) != 0;
}

bool Win32FileServices::MoveIntoPlace(std::u16string_view source, std::u16string_view target) {
    return MoveFileExW(SystemPath(source).c_str(), SystemPath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileServices::RenameWithoutReplacing(std::u16string_view source,
                                               std::u16string_view target) {
    return MoveFileExW(SystemPath(source).c_str(), SystemPath(target).c_str(),
                       MOVEFILE_WRITE_THROUGH) != 0;
}

std::int64_t Win32FileServices::FreeBytesOnDrive(DriveLetter drive) {
    if (drive.IsNone()) return -1;
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(RootOf(drive).c_str(), &available, nullptr, nullptr)) return -1;
    return static_cast<std::int64_t>(available.QuadPart);
}

std::u16string Win32FileServices::FileSystemName(DriveLetter drive) {
    if (drive.IsNone()) return {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(RootOf(drive).c_str(), nullptr, 0, nullptr, nullptr, nullptr, name,
                               MAX_PATH + 1))
        return {};
    return std::u16string(name, name + wcslen(name));
}

FileServices::Handle Win32FileServices::OpenForReading(std::u16string_view path, Sharing sharing) {
    return Open(path, GENERIC_READ, sharing == Sharing::ReadersAllowed ? FILE_SHARE_READ : 0,
                OPEN_EXISTING);
}

FileServices::Handle Win32FileServices::OpenUncached(std::u16string_view path) {
    return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_NO_BUFFERING);
}

std::uint32_t Win32FileServices::SectorSize(std::u16string_view path) {
    const DriveLetter drive = path.size() >= 3 && path[1] == u':' ? DriveOf(path) : DriveLetter();
    if (drive.IsNone()) return 0;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceW(RootOf(drive).c_str(), &sectorsPerCluster, &bytesPerSector,
                           &freeClusters, &clusters))
        return 0;
    return bytesPerSector;
}

FileServices::Handle Win32FileServices::CreateForWriting(std::u16string_view path,
                                                         Sharing sharing) {
    return Open(path, GENERIC_READ | GENERIC_WRITE,
                sharing == Sharing::ReadersAllowed ? FILE_SHARE_READ : 0, CREATE_ALWAYS);
}

std::int64_t Win32FileServices::ReadChunk(Handle h, void* buffer, std::int64_t n) {
    if (n < 0) return -1;
    const DWORD want = ChunkLength(n);
    DWORD got = 0;
    if (!ReadFile(AsHandle(h), buffer, want, &got, nullptr)) return -1;
    return got;
}

bool Win32FileServices::SeekTo(Handle h, std::int64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(AsHandle(h), to, nullptr, FILE_BEGIN) != 0;
}

std::int64_t Win32FileServices::WriteChunk(Handle h, const void* buffer, std::int64_t n) {
    if (n < 0) return -1;
    const DWORD want = ChunkLength(n);
    DWORD written = 0;
    if (!WriteFile(AsHandle(h), buffer, want, &written, nullptr)) return -1;
    return written;
}

FileFault Win32FileServices::ClaimSize(Handle h, std::int64_t size) {
    // The allocation, not the end of the file: a file system that keeps no
    // valid-data length would otherwise write the whole size in zeros first.
    FILE_ALLOCATION_INFO allocation;
    allocation.AllocationSize.QuadPart = size;
    if (SetFileInformationByHandle(AsHandle(h), FileAllocationInfo, &allocation, sizeof allocation))
        return FileFault::None;
    // Wine 8 answers that it has no such call; some drivers that the class is unknown.
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_PARAMETER ? FileFault::NotSupported : FaultOf(error);
}

bool Win32FileServices::FlushToDrive(Handle h) {
    return FlushFileBuffers(AsHandle(h)) != 0;
}

void Win32FileServices::CloseFileHandle(Handle h) {
    CloseHandle(AsHandle(h));
}

FileFault Win32FileServices::LastFault() {
    return FaultOf(GetLastError());
}

std::uint32_t Win32FileServices::LastError() {
    return GetLastError();
}

std::u16string Win32FileServices::ErrorText(std::uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string result;
    if (n > 0 && text) result.assign(text, text + n);
    if (text) LocalFree(text);
    // The error box adds the final ".": drop the system's own and its line end.
    while (!result.empty() && (result.back() <= u' ' || result.back() == u'.'))
        result.pop_back();
    return result;
}

std::unique_ptr<DriveLock> Win32FileServices::LockDrive(DriveLetter drive) {
    return Win32DriveLock::Open(drive);
}

} // namespace kelvorin
