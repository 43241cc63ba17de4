#pragma once
// Which volume a path lies on, whatever letter, mount point or link leads
// there: a letter alone says nothing once a folder links onto a stick.
#include <string>

namespace kelvorin::win32 {

// Whether the path, or the nearest folder above it that exists, lies on the
// volume of the drive root ("E:\"). False when either cannot be told.
bool LiesOnVolumeOf(const std::wstring& path, const std::wstring& driveRoot);

} // namespace kelvorin::win32
