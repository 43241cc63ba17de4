#pragma once
// While it lives, Ctrl+C, Ctrl+Break and closing the console cancel the run
// through its flags; a closing console waits until the run has written its log.
#include "engine/RunFlags.h"

#include <windows.h>

namespace kelvorin {

class ConsoleCancel {
public:
    explicit ConsoleCancel(RunFlags& flags);
    // The handler goes before the flags can: a late Ctrl+C touches nothing.
    ~ConsoleCancel();
    ConsoleCancel(const ConsoleCancel&) = delete;
    ConsoleCancel& operator=(const ConsoleCancel&) = delete;

    // The log is written: a closing console need not wait any longer.
    void RunFinished();

    // The console's control handler, which has no context argument.
    static BOOL WINAPI OnControl(DWORD event);
};

} // namespace kelvorin
