#pragma once
// A folder with all it holds, as the store measures and removes a run's
// folder. Links below are never followed.
#include "engine/FileServices.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kelvorin {

// Bytes of the files below the folder. `visit` is called for every entry:
// a store of many runs on a slow stick takes seconds, and the window must
// answer meanwhile.
std::int64_t TreeBytes(FileServices& files, const std::u16string& folder,
                       const std::function<void()>& visit);
// Every file and folder below and the folder itself; false when any stays.
bool RemoveTree(FileServices& files, const std::u16string& folder,
                const std::function<void()>& visit);

} // namespace kelvorin
