#pragma once
// A console program started as a process, its output caught in files: what
// it printed and how it ended.
#include "win32/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kelvorin::testing {

struct ConsoleResult {
    DWORD exitCode = 0;
    std::vector<std::wstring> out; // stdout lines, decoded from UTF-8
    std::wstring err;
};

// A console program started without a console window, its output going
// through `outputBase`.stdout and .stderr, which it removes when done.
class StartedProgram {
public:
    StartedProgram(std::wstring commandLine, const std::wstring& outputBase);
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();

    // Whether it ended within the time.
    bool WaitUntilEnded(DWORD milliseconds);
    // As a crash or the task manager ends it: no handler of its own runs.
    void Kill();
    // Waits up to a minute, then tells how it ended and what it printed.
    ConsoleResult Result();

private:
    std::wstring outFile_, errFile_;
    UniqueKernelObject process_, thread_;
};

// Runs the command line without a console window and waits up to a minute.
// The output goes through `outputBase`.stdout and .stderr, removed afterwards;
// a finished child may hold them for a moment under Wine, so each run wants
// a base of its own.
ConsoleResult RunConsoleProgram(std::wstring commandLine, const std::wstring& outputBase);

// A Windows program and its arguments started by the host with TZ set, as
// after a change of summer time: Wine takes a process's local offset from TZ
// when it starts, and a child of a Wine process keeps its parent's. Waits up
// to a minute; the exit code is its low 8 bits, as the host sees it.
ConsoleResult RunConsoleProgramInTimeZone(const std::string& timeZone,
                                          const std::vector<std::wstring>& programAndArguments,
                                          const std::wstring& outputBase);

} // namespace kelvorin::testing
