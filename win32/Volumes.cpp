#include "win32/Volumes.h"

#include "win32/Handles.h"

#include <windows.h>

#include <optional>

namespace kelvorin::win32 {
namespace {

// The serial of the volume that the path resolves to, links followed.
std::optional<DWORD> VolumeSerial(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return info.dwVolumeSerialNumber;
}

} // namespace

bool LiesOnVolumeOf(const std::wstring& path, const std::wstring& driveRoot) {
    const std::optional<DWORD> target = VolumeSerial(driveRoot);
    if (!target) return false;
    std::wstring existing = path;
    while (GetFileAttributesW(existing.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (existing.size() <= 3) return false;
        const std::size_t slash = existing.find_last_of(L'\\');
        if (slash == std::wstring::npos || slash < 2) return false;
        existing.resize(slash == 2 ? 3 : slash); // "D:\" keeps its backslash
    }
    return VolumeSerial(existing) == target;
}

} // namespace kelvorin::win32
