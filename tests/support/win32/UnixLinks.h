#pragma once
// Symbolic links made by the host system: Wine shows a link to a folder as a
// folder with the reparse-point attribute and a link to a file as the file.
// A drive letter is such a link too.
#include <string>

namespace kelvorin::testing {

// Makes link point to target (both Windows paths); throws when it cannot.
void MakeUnixLink(const std::wstring& link, const std::wstring& target);
// Removes the link itself, never what it points to.
void RemoveUnixLink(const std::wstring& link);

// Maps a drive letter to a folder while the session runs, for a test of its
// own drive root; the letter must not be one of the runner's.
void MapDriveLetter(wchar_t letter, const std::wstring& folder);
void UnmapDriveLetter(wchar_t letter);

} // namespace kelvorin::testing
