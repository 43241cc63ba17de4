#include "tests/support/win32/ConsoleProgram.h"

#include "tests/support/win32/ScratchDrives.h"

#include <stdexcept>

namespace kelvorin::testing {

ConsoleResult RunConsoleProgram(std::wstring commandLine, const std::wstring& outputBase) {
    const std::wstring outFile = outputBase + L".stdout", errFile = outputBase + L".stderr";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE out =
        CreateFileW(outFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err =
        CreateFileW(errFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
        throw std::runtime_error("cannot create the output files");
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) throw std::runtime_error("the program did not start");
    WaitForSingleObject(pi.hProcess, 60000);
    ConsoleResult result;
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    result.out = TextLines(DecodeText(ReadWholeFile(outFile), CP_UTF8));
    result.err = DecodeText(ReadWholeFile(errFile), CP_UTF8);
    DeleteFileW(outFile.c_str());
    DeleteFileW(errFile.c_str());
    return result;
}

} // namespace kelvorin::testing
