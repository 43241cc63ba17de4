#pragma once
// Path rules of the engine: paths are joined and mapped as plain strings.
#include "set/AsciiCase.h"
#include "set/DriveLetter.h"

#include <string>
#include <string_view>

namespace kelvorin {

// From the last "." of the name to its end, the dot included; empty without a dot.
std::u16string_view FileExtension(std::u16string_view name);

// Runs of backslashes made one, as Windows reads them: the walk of a drive root
// yields "E:\\Daten", which is the same folder as "E:\Daten". The two leading
// backslashes of a UNC path stay.
std::u16string SingleBackslashes(std::u16string_view path);

// A letter, a colon and a backslash: a path from a drive's root, not a bare
// "D:" or "D:Daten", which Windows reads against the drive's current folder.
bool IsDrivePath(std::u16string_view path);

// The same path with its first character exchanged.
std::u16string WithDrive(std::u16string_view path, char16_t letter);
// The same into a buffer that is reused, for a pass over every file.
void WithDrive(std::u16string_view path, char16_t letter, std::u16string& result);

// The drive that the first character names; none when it is no letter.
DriveLetter DriveOf(std::u16string_view path);

} // namespace kelvorin
