#pragma once
#include "set/DriveLetter.h"

#include <atomic>

namespace kelvorin {

// Shared by the run and the window: Cancelled is set by every close request.
struct RunFlags {
    bool copyFailed = false;
    bool deleteFailed = false;
    // Atomic: the console program sets it from its Ctrl+C handler's thread.
    std::atomic<bool> cancelled = false;
    DriveLetter targetDrive = DriveLetter::FromLetter(u'E');
    char16_t sourceDrive = u'C';
};

} // namespace kelvorin
