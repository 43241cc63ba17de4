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

// The same path with its first character exchanged for the drive's letter.
std::u16string WithDrive(std::u16string_view path, DriveLetter drive);
// The same into a buffer that is reused, for a pass over every file.
void WithDrive(std::u16string_view path, DriveLetter drive, std::u16string& result);

// A backup's path: its source's path on the target drive.
inline std::u16string BackupPathOf(std::u16string_view source, DriveLetter target) {
    return WithDrive(source, target);
}
inline void BackupPathOf(std::u16string_view source, DriveLetter target, std::u16string& result) {
    WithDrive(source, target, result);
}

// The drive that the first character names; none when it is no letter.
DriveLetter DriveOf(std::u16string_view path);
// Whether the path lies on the drive, its letter written in either case.
inline bool IsOnDrive(std::u16string_view path, DriveLetter drive) {
    return DriveOf(path) == drive;
}

} // namespace kelvorin
