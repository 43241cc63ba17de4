#include "tests/support/win32/ConsoleProgram.h"

#include "tests/support/win32/ScratchDrives.h"
#include "win32/Handles.h"

#include <stdexcept>

namespace kelvorin::testing {

ConsoleResult RunConsoleProgram(std::wstring commandLine, const std::wstring& outputBase) {
    const std::wstring outFile = outputBase + L".stdout", errFile = outputBase + L".stderr";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFile out(
        CreateFileW(outFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    UniqueFile err(
        CreateFileW(errFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!out || !err) throw std::runtime_error("cannot create the output files");
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    out.reset(); // the child has its own
    err.reset();
    if (!started) throw std::runtime_error("the program did not start");
    const UniqueKernelObject process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), 60000);
    ConsoleResult result;
    GetExitCodeProcess(process.get(), &result.exitCode);
    result.out = TextLines(DecodeText(ReadWholeFile(outFile), CP_UTF8));
    result.err = DecodeText(ReadWholeFile(errFile), CP_UTF8);
    DeleteFileW(outFile.c_str());
    DeleteFileW(errFile.c_str());
    return result;
}

} // namespace kelvorin::testing
