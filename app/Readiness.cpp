#include "app/Readiness.h"

#include "engine/DriveRoom.h"

namespace kelvorin {

Readiness CheckReadiness(std::size_t folderCount, const std::u16string& firstFolder,
                         DriveLetter target, FileServices& files) {
    if (folderCount == 0) return Readiness::NoFolder;
    if (target.IsNone()) return Readiness::NoTarget;
    // Compared as code units: a lower-case entry letter does not match the target.
    const char16_t sourceLetter = firstFolder.empty() ? u'A' : firstFolder[0];
    if (sourceLetter == target.Letter()) return Readiness::FirstFolderOnTarget;
    if (!files.IsExistingFolder(target.Name())) return Readiness::TargetMissing;
    if (!HasRoomForARun(files.FreeBytesOnDrive(target))) return Readiness::TooLittleSpace;
    return Readiness::Ready;
}

} // namespace kelvorin
