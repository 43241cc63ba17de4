#pragma once
// Loading and saving the set file through the file services.
#include "engine/FileServices.h"
#include "set/BackupSet.h"
#include "set/CodePage.h"
#include "set/SortedList.h"
#include "set/Texts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

// Longer set-file paths are refused as an invalid file name before any attempt to open them.
constexpr std::size_t kMaxSetFilePath = 259;

// An error that ends a load or a save; the caller shows Text() in the error box.
// A file that cannot be opened or created is no error: it is passed over.
struct SetFileError {
    std::uint32_t code;
    std::u16string Text() const { return IoErrorText(code); }
};

struct SetFileIo {
    FileServices& files;
    const CodePage& codePage;
};

// Clears the set (not the drive) and the work list, then reads the file over
// it. A file that cannot be opened leaves it so, the drive unchanged. After a
// read error the folders and the flag read so far stay, the exclusions read so
// far stay in the work list, and the drive is unchanged.
std::optional<SetFileError> LoadSet(std::u16string_view path, SetFileIo io, BackupSet& set,
                                    SortedList& workList);

// Writes the set to a temporary file beside the set file and then puts it in
// the set file's place, so a failed write leaves the old file whole. Where no
// temporary file can be made it writes in place. A set file that cannot be
// created or replaced (locked, read-only, no such folder) is passed over.
std::optional<SetFileError> SaveSet(std::u16string_view path, SetFileIo io, const BackupSet& set);

// The temporary file that SaveSet writes first.
std::u16string SaveTempPath(std::u16string_view path);

} // namespace kelvorin
