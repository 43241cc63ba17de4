#include "engine/HeldFiles.h"

#include <chrono>
#include <thread>

namespace kelvorin {
namespace {

// A scanner holds a file for well under a second; a longer hold is no moment.
constexpr auto kHeldFileWait = std::chrono::seconds(2);
constexpr auto kHeldFilePause = std::chrono::milliseconds(100);

} // namespace

bool RetryWhileHeld(FileServices& files, const std::function<bool()>& step,
                    const std::function<void()>& turn) {
    const auto deadline = std::chrono::steady_clock::now() + kHeldFileWait;
    while (!step()) {
        if (!MayBeHeldForAMoment(files.LastFault()) || std::chrono::steady_clock::now() >= deadline)
            return false;
        turn();
        std::this_thread::sleep_for(kHeldFilePause);
    }
    return true;
}

} // namespace kelvorin
