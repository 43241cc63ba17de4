#pragma once
// A backup run on the window's taskbar button: busy while the run walks its
// folders, the share done while it copies, in the error colour from a copy
// that failed to the run's end, busy while "Synchron" goes, then nothing.
#include "engine/ProgressEstimate.h"
#include "engine/RunEvents.h"
#include "ui/TaskbarProgress.h"

#include <memory>
#include <optional>

namespace kelvorin::ui {

class RunTaskbar {
public:
    // The button exists, also anew after the shell restarted: it is told at
    // once where a run is.
    void Use(std::unique_ptr<TaskbarProgress> taskbar);

    void RunBegins();
    void Progressed(const RunProgress& progress);
    void RunEnds();

private:
    using State = TaskbarProgress::State;
    void Show(State state);
    void ShowShare();

    std::unique_ptr<TaskbarProgress> taskbar_;
    State state_ = State::None;
    std::optional<ProgressEstimate> estimate_; // while the copies go
    std::optional<std::uint64_t> shownSteps_;  // of kSteps, last shown
};

} // namespace kelvorin::ui
