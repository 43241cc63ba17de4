#include "tests/support/win32/ConsoleProgram.h"

#include "tests/support/win32/ScratchDrives.h"

#include <stdexcept>

namespace kelvorin::testing {

StartedProgram::StartedProgram(std::wstring commandLine, const std::wstring& outputBase)
    : outFile_(outputBase + L".stdout"), errFile_(outputBase + L".stderr") {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFile out(
        CreateFileW(outFile_.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    UniqueFile err(
        CreateFileW(errFile_.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!out || !err) throw std::runtime_error("cannot create the output files");
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi))
        throw std::runtime_error("the program did not start");
    process_.reset(pi.hProcess);
    thread_.reset(pi.hThread);
}

StartedProgram::~StartedProgram() {
    if (!WaitUntilEnded(0)) Kill();
    DeleteFileW(outFile_.c_str());
    DeleteFileW(errFile_.c_str());
}

bool StartedProgram::WaitUntilEnded(DWORD milliseconds) {
    return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

void StartedProgram::Kill() {
    TerminateProcess(process_.get(), 137);
    WaitUntilEnded(10000);
}

ConsoleResult StartedProgram::Result() {
    WaitUntilEnded(60000);
    ConsoleResult result;
    GetExitCodeProcess(process_.get(), &result.exitCode);
    result.out = TextLines(DecodeText(ReadWholeFile(outFile_), CP_UTF8));
    result.err = DecodeText(ReadWholeFile(errFile_), CP_UTF8);
    return result;
}

ConsoleResult RunConsoleProgram(std::wstring commandLine, const std::wstring& outputBase) {
    StartedProgram program(std::move(commandLine), outputBase);
    return program.Result();
}

} // namespace kelvorin::testing
