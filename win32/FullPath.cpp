#include "win32/FullPath.h"

#include <windows.h>

namespace kelvorin::win32 {

std::wstring FullPath(const std::wstring& path) {
    // Never asked for the size alone: Wine copies a drive's current folder ("=D:",
    // for a path such as "D:") into a block of the buffer's size, and with none
    // it writes the folder's closing backslash past that block, into the heap.
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<DWORD>(full.size());
        const DWORD got = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
        if (got == 0) return path;
        if (got < size) {
            full.resize(got);
            return full;
        }
        full.resize(got); // too small: got is the size needed
    }
}

} // namespace kelvorin::win32
