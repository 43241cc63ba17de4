#include "ui/RunTaskbar.h"

namespace kelvorin::ui {
namespace {

// Finer than any button is wide: a value is sent only when it moves a step.
constexpr std::uint64_t kSteps = 1000;

} // namespace

void RunTaskbar::Use(std::unique_ptr<TaskbarProgress> taskbar) {
    taskbar_ = std::move(taskbar);
    if (!taskbar_ || state_ == State::None) return;
    taskbar_->SetState(state_);
    if (shownSteps_ && state_ != State::Busy) taskbar_->SetValue(*shownSteps_, kSteps);
}

void RunTaskbar::RunBegins() {
    Show(State::Busy);
}

void RunTaskbar::Progressed(const RunProgress& progress) {
    const RunCounts& counts = progress.counts;
    switch (progress.step) {
    case RunStep::CopiesBegin:
        estimate_.emplace(WorkAmount{counts.filesToCheck, counts.bytesToCheck}, GetTickCount64());
        if (state_ != State::Error) Show(State::Share);
        ShowShare();
        return;
    case RunStep::CopyIsCurrent:
    case RunStep::Copying:
    case RunStep::Writing:
        if (!estimate_) return;
        estimate_->Update({counts.filesChecked, counts.bytesChecked}, GetTickCount64());
        ShowShare();
        return;
    case RunStep::CopyFailed:
        Show(State::Error);
        return;
    case RunStep::Synchronising:
        estimate_.reset();
        if (state_ != State::Error) Show(State::Busy);
        return;
    case RunStep::EnteringFolder:
    case RunStep::NotDeleted:
        return;
    }
}

void RunTaskbar::RunEnds() {
    estimate_.reset();
    shownSteps_.reset();
    Show(State::None);
}

void RunTaskbar::Show(State state) {
    if (state == state_) return;
    state_ = state;
    if (taskbar_) taskbar_->SetState(state);
}

void RunTaskbar::ShowShare() {
    const auto steps = static_cast<std::uint64_t>(estimate_->Share() * kSteps);
    if (steps == shownSteps_) return;
    shownSteps_ = steps;
    if (taskbar_) taskbar_->SetValue(steps, kSteps);
}

} // namespace kelvorin::ui
