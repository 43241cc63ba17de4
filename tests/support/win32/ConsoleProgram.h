#pragma once
// A console program started as a process, its output caught in files: what
// it printed and how it ended.
#include <windows.h>

#include <string>
#include <vector>

namespace kelvorin::testing {

struct ConsoleResult {
    DWORD exitCode = 0;
    std::vector<std::wstring> out; // stdout lines, decoded from UTF-8
    std::wstring err;
};

// Runs the command line without a console window and waits up to a minute.
// The output goes through `outputBase`.stdout and .stderr, removed afterwards;
// a finished child may hold them for a moment under Wine, so each run wants
// a base of its own.
ConsoleResult RunConsoleProgram(std::wstring commandLine, const std::wstring& outputBase);

} // namespace kelvorin::testing
