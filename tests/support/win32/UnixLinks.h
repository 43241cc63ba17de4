#pragma once
// Symbolic links made by the host system: Wine shows a link to a folder as a
// folder with the reparse-point attribute and a link to a file as the file.
#include <string>

namespace kelvorin::testing {

// Makes link point to target (both Windows paths); throws when it cannot.
void MakeUnixLink(const std::wstring& link, const std::wstring& target);
// Removes the link itself, never what it points to.
void RemoveUnixLink(const std::wstring& link);

} // namespace kelvorin::testing
