#include "app/win32/ConsoleCancel.h"

#include <mutex>

namespace kelvorin {

namespace {

// The handler runs on a thread of its own: what it reaches is guarded.
std::mutex g_guard;
RunFlags* g_flags = nullptr;
HANDLE g_finished = nullptr;

} // namespace

ConsoleCancel::ConsoleCancel(RunFlags& flags) {
    {
        const std::lock_guard lock(g_guard);
        g_flags = &flags;
        if (!g_finished) g_finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ResetEvent(g_finished);
    }
    SetConsoleCtrlHandler(OnControl, TRUE);
}

ConsoleCancel::~ConsoleCancel() {
    SetConsoleCtrlHandler(OnControl, FALSE);
    RunFinished();
    const std::lock_guard lock(g_guard);
    g_flags = nullptr;
}

void ConsoleCancel::RunFinished() {
    const std::lock_guard lock(g_guard);
    if (g_finished) SetEvent(g_finished);
}

BOOL WINAPI ConsoleCancel::OnControl(DWORD event) {
    HANDLE finished = nullptr;
    {
        const std::lock_guard lock(g_guard);
        if (!g_flags) return FALSE; // no run: the console's own handling
        g_flags->cancelled = true;
        finished = g_finished;
    }
    // Closing the console ends the process when this returns: give the run
    // the few seconds Windows allows to skip the rest and write its log.
    if (event == CTRL_CLOSE_EVENT && finished) WaitForSingleObject(finished, 4500);
    return TRUE;
}

} // namespace kelvorin
