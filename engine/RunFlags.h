#pragma once
#include <atomic>

namespace kelvorin {

// Shared by a run or a check and whoever may stop it: every close request sets
// Cancelled. Atomic: the console program sets it from its Ctrl+C handler's thread.
struct RunFlags {
    std::atomic<bool> cancelled = false;
};

} // namespace kelvorin
