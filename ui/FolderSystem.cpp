#include "ui/FolderSystem.h"

#include "engine/win32/Win32FileServices.h"
#include "set/win32/WideText.h"
#include "win32/FullPath.h"
#include "win32/Handles.h"

#include <windows.h>

namespace kelvorin::ui {

namespace {

// An empty card reader or a drive that went away answers with an error, not
// with the system's "insert a disk" box.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;
    ~NoCriticalErrorBoxes() { SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

DriveKind KindOf(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE:
        return DriveKind::Removable;
    case DRIVE_CDROM:
        return DriveKind::CdRom;
    case DRIVE_REMOTE:
        return DriveKind::Network;
    case DRIVE_RAMDISK:
        return DriveKind::Ram;
    default:
        return DriveKind::Fixed;
    }
}

// The "\\?\" form from this length on, as the engine's: deep folders list too.
std::wstring ForSystem(const std::wstring& path) {
    return SystemPath(U16(path));
}

} // namespace

DriveLetter DesignatedDrive(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' ? DriveLetter::FromLetter(path[0]) : DriveLetter();
}

std::vector<DriveEntry> Win32FolderSystem::Drives() {
    NoCriticalErrorBoxes quiet;
    std::vector<DriveEntry> drives;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < DriveLetter::kCount; ++i) {
        if (!(present & (1u << i))) continue;
        const DriveLetter drive = DriveLetter::FromIndex(i);
        const std::wstring root = Wide(drive.Root());
        wchar_t label[MAX_PATH + 1] = {};
        if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                   nullptr, 0))
            label[0] = L'\0';
        drives.push_back(
            {static_cast<wchar_t>(drive.Letter()), KindOf(GetDriveTypeW(root.c_str())), label});
    }
    return drives;
}

std::uint32_t Win32FolderSystem::List(const std::wstring& folder, FolderListing& listing) {
    NoCriticalErrorBoxes quiet;
    const std::wstring pattern = folder + (folder.ends_with(L'\\') ? L"*" : L"\\*");
    WIN32_FIND_DATAW data;
    const UniqueFolderListing find(FindFirstFileW(ForSystem(pattern).c_str(), &data));
    if (!find) {
        // A drive root without entries has no "." either: it is empty, not missing.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) return error;
        return IsFolder(folder) ? 0 : ERROR_PATH_NOT_FOUND;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? listing.folders : listing.files)
            .push_back(name);
    } while (FindNextFileW(find.get(), &data));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

bool Win32FolderSystem::IsFolder(const std::wstring& path) {
    NoCriticalErrorBoxes quiet;
    const DWORD attributes = GetFileAttributesW(ForSystem(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Win32FolderSystem::FullPath(const std::wstring& path) {
    return path.empty() ? path : win32::FullPath(path);
}

std::wstring Win32FolderSystem::WorkingFolder() {
    return win32::FullPath(L".");
}

bool Win32FolderSystem::SetWorkingFolder(const std::wstring& folder) {
    if (!SetCurrentDirectoryW(folder.c_str())) return false;
    // How the C runtime's chdir keeps a folder per drive, and what "D:" means to GetFullPathName.
    if (const DriveLetter drive = DesignatedDrive(folder); !drive.IsNone()) {
        const wchar_t name[] = {L'=', drive.Letter(), L':', L'\0'};
        SetEnvironmentVariableW(name, folder.c_str());
    }
    return true;
}

std::wstring Win32FolderSystem::CurrentFolderOfDrive(wchar_t letter) {
    const wchar_t drive[] = {letter, L':', L'\0'};
    return win32::FullPath(drive);
}

} // namespace kelvorin::ui
