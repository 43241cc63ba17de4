#pragma once
// What the folder chooser asks of the system: the drives, the folders and files
// of a folder, and the process's working folder. The program uses the Win32
// one; a test can stand in for what a machine here cannot show, such as a
// drive that is not ready.
#include "set/DriveLetter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorin::ui {

enum class DriveKind { Fixed, Removable, CdRom, Network, Ram };

// The drive that a leading "X:" names, as in "x:\\Daten" or a bare "D:"; none
// without one.
DriveLetter DesignatedDrive(const std::wstring& path);

struct DriveEntry {
    wchar_t letter; // 'A' to 'Z'
    DriveKind kind;
    std::wstring label; // empty when the volume has none or cannot tell
};

struct FolderListing {
    std::vector<std::wstring> folders; // names, hidden ones and those with a leading dot too
    std::vector<std::wstring> files;
};

class FolderSystem {
public:
    virtual ~FolderSystem() = default;

    virtual std::vector<DriveEntry> Drives() = 0;
    // Fills the listing in the system's order; returns 0, or the system's error code.
    virtual std::uint32_t List(const std::wstring& folder, FolderListing& listing) = 0;
    virtual bool IsFolder(const std::wstring& path) = 0;
    // The path made full and plain: no "." or "..", no doubled or forward slashes.
    virtual std::wstring FullPath(const std::wstring& path) = 0;
    virtual std::wstring WorkingFolder() = 0;
    // The working folder becomes the folder, and its drive remembers it as its current one.
    virtual bool SetWorkingFolder(const std::wstring& folder) = 0;
    // The folder that the drive was last in, else its root.
    virtual std::wstring CurrentFolderOfDrive(wchar_t letter) = 0;
};

class Win32FolderSystem : public FolderSystem {
public:
    std::vector<DriveEntry> Drives() override;
    std::uint32_t List(const std::wstring& folder, FolderListing& listing) override;
    bool IsFolder(const std::wstring& path) override;
    std::wstring FullPath(const std::wstring& path) override;
    std::wstring WorkingFolder() override;
    bool SetWorkingFolder(const std::wstring& folder) override;
    std::wstring CurrentFolderOfDrive(wchar_t letter) override;
};

} // namespace kelvorin::ui
