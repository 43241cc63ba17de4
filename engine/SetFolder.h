#pragma once
#include "engine/FileServices.h"
#include "engine/Paths.h"

namespace kelvorin {

// A folder of the set that is there now. Anything but a drive path (empty,
// UNC, relative) would be taken relative to the current folder: it counts as
// missing.
inline bool IsSetFolderPresent(FileServices& files, std::u16string_view entry) {
    return IsDrivePath(entry) && files.IsExistingFolder(entry);
}

} // namespace kelvorin
