#pragma once
// A file that a virus scanner or the search indexer holds for a moment, just
// after it was written: the steps that such a hold can fail are tried again.
#include "engine/FileServices.h"

#include <functional>

namespace kelvorin {

// Tries the step again for about 2 s while it fails as on a file held for a
// moment, giving `turn` its turn between the tries. Only for a final rename,
// replace or removal of a file: anything else fails the same way at once.
bool RetryWhileHeld(FileServices& files, const std::function<bool()>& step,
                    const std::function<void()>& turn);

} // namespace kelvorin
