#pragma once
// The progress that the window's taskbar button shows, also while the window
// is minimised. A seam: the shell's side cannot be watched from a test, and
// Wine's does nothing.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace kelvorin::ui {

class TaskbarProgress {
public:
    enum class State { None, Busy, Share, Error };
    virtual ~TaskbarProgress() = default;
    virtual void SetState(State state) = 0;
    // Shown in the states Share and Error.
    virtual void SetValue(std::uint64_t done, std::uint64_t whole) = 0;
};

// Made for the window once its button exists; null where the taskbar's
// interface cannot be had, and then the button simply shows nothing.
using MakeTaskbarProgress = std::function<std::unique_ptr<TaskbarProgress>(HWND window)>;

} // namespace kelvorin::ui
