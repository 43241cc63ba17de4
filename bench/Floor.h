#pragma once
// What every floor program does alike: the walk of a folder, and the line of
// counts that bench/run.sh reads.
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvorin::bench {

// Calls visit with each entry of the folder but "." and "..", in the system's
// order. The listing stays open meanwhile, so a visit may walk a subfolder.
// False when the folder cannot be listed.
template <typename Visit> bool ForEachEntry(const std::wstring& folder, Visit&& visit) {
    WIN32_FIND_DATAW data;
    const UniqueFolderListing find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return false;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        visit(static_cast<const WIN32_FIND_DATAW&>(data));
    } while (FindNextFileW(find.get(), &data));
    return true;
}

inline bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
}

// The counts on one line, separated by spaces.
void PrintCounts(std::initializer_list<std::uint64_t> counts);

} // namespace kelvorin::bench
