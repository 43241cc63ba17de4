#pragma once
// Whether a backup can start now: the window's timer check and the console's
// check before a run ask the same questions in the same order.
#include "engine/FileServices.h"
#include "set/DriveLetter.h"

#include <string>
#include <vector>

namespace kelvorin {

enum class Readiness {
    Ready,
    NoFolder,            // the set has no folder
    NoTarget,            // no target drive selected
    FirstFolderOnTarget, // the first folder's letter is the target letter
    TargetMissing,       // the target drive is not present or not ready
    TooLittleSpace,      // 1,000,000 bytes free or less (or unknown)
};

// firstFolder: the first entry in list order.
Readiness CheckReadiness(std::size_t folderCount, const std::u16string& firstFolder,
                         DriveLetter target, FileServices& files);

} // namespace kelvorin
