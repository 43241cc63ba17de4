#pragma once
// The full form of a path as the system makes it, for the file services and
// the folder chooser alike.
#include <string>

namespace kelvorin::win32 {

// The path made full by the system: the working folder in front of a relative
// one, "." and ".." resolved; the path unchanged when the system cannot.
std::wstring FullPath(const std::wstring& path);

} // namespace kelvorin::win32
