#include "app/Readiness.h"

namespace kelvorin {

Readiness CheckReadiness(std::size_t folderCount, const std::u16string& firstFolder, int driveIndex,
                         FileServices& files) {
    if (folderCount == 0) return Readiness::NoFolder;
    if (driveIndex < 0 || driveIndex > 25) return Readiness::NoTarget;
    // Compared as code units: a lower-case entry letter does not match the target.
    const char16_t sourceLetter = firstFolder.empty() ? u'A' : firstFolder[0];
    const char16_t targetLetter = static_cast<char16_t>(u'A' + driveIndex);
    if (sourceLetter == targetLetter) return Readiness::FirstFolderOnTarget;
    const std::u16string targetText{targetLetter, u':'};
    if (!files.IsExistingFolder(targetText)) return Readiness::TargetMissing;
    if (files.FreeBytesOnDrive(driveIndex + 1) <= 1'000'000) return Readiness::TooLittleSpace;
    return Readiness::Ready;
}

} // namespace kelvorin
