// The benchmark's hand at the keyboard: starts Kelvorin.exe with a set, presses
// "&Sichern" with Enter once the readiness check has enabled it, and times the
// run from the key to the finished log file. Then Esc ends the program.
//   PressSichern.exe KELVORIN_EXE SET_NAME LOG_FILE
// Prints "SECONDS PEAK_KIB" (peak working set of the program, 0 when unknown).
#include "tests/support/win32/ProgramDriver.h"

#include <cstdio>
#include <exception>

namespace remote = kelvorin::testing::remote;

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "PressSichern: %s\n", what);
    return 1;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

int wmain(int argc, wchar_t** argv) try {
    if (argc != 4) return Fail("usage: PressSichern.exe KELVORIN_EXE SET_NAME LOG_FILE");
    const std::wstring logFile = argv[3];
    DeleteFileW(logFile.c_str());

    remote::Program program(argv[1], argv[2]);
    HWND window = remote::WaitForWindowOf(program.Id(), L"TDataSForm", 60000);
    if (!window) return Fail("no main window");
    HWND sichern = remote::FindControlByText(window, L"&Sichern");
    if (!sichern) return Fail("no \"&Sichern\" button");
    if (!remote::WaitUntil([&] { return IsWindowEnabled(sichern) != FALSE; }, 30000))
        return Fail("\"&Sichern\" was never enabled");

    LARGE_INTEGER pressed, written;
    QueryPerformanceCounter(&pressed);
    if (!remote::PressKeys(window, {VK_RETURN})) return Fail("the window took no keys");
    if (!remote::WaitUntil([&] { return remote::RunLogWritten(logFile); }, 3'600'000))
        return Fail("no log file");
    QueryPerformanceCounter(&written);
    const std::size_t peak = program.PeakWorkingSet();

    // The file list is filled after the log: Esc waits until the run is over.
    if (!remote::WaitUntil([&] { return IsWindowEnabled(sichern) != FALSE; }, 60000))
        return Fail("the run did not end");
    if (!remote::PressKeys(window, {VK_ESCAPE})) return Fail("the window took no Esc");
    if (program.WaitForExit(60000) != std::optional<DWORD>(0)) return Fail("no clean exit");

    std::printf("%.3f %zu\n", Seconds(pressed, written), peak / 1024);
    return 0;
} catch (const std::exception& e) {
    return Fail(e.what());
}
