#include "tests/support/win32/ConsoleProgram.h"

#include "tests/support/win32/HostSide.h"
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

ConsoleResult RunConsoleProgramInTimeZone(const std::string& timeZone,
                                          const std::vector<std::wstring>& programAndArguments,
                                          const std::wstring& outputBase) {
    const std::wstring script = outputBase + L".sh", out = outputBase + L".stdout",
                       err = outputBase + L".stderr", done = outputBase + L".done";
    const auto quoted = [](const std::string& utf8) { return "'" + utf8 + "'"; };
    const auto utf8 = [](const std::wstring& text) {
        std::string bytes(text.size() * 3, '\0');
        bytes.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
        return bytes;
    };
    std::string line = "TZ=" + timeZone + " /usr/lib/wine/wine64";
    for (const std::wstring& item : programAndArguments)
        line += " " + quoted(utf8(item));
    line += " >" + quoted(HostPath(out)) + " 2>" + quoted(HostPath(err)) + "; echo $? >" +
            quoted(HostPath(done + L".tmp")) + " && mv " + quoted(HostPath(done + L".tmp")) + " " +
            quoted(HostPath(done)) + "\n";
    DeleteFileW(done.c_str());
    WriteTextFile(script, line);
    StartHostShell("/bin/sh '" + HostPath(script) + "'");
    for (int i = 0; i < 2400 && GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(25);
    ConsoleResult result;
    if (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw std::runtime_error("the program started by the host did not end");
    result.exitCode = static_cast<DWORD>(std::stoul(ReadWholeFile(done)));
    result.out = TextLines(DecodeText(ReadWholeFile(out), CP_UTF8));
    result.err = DecodeText(ReadWholeFile(err), CP_UTF8);
    for (const std::wstring& file : {script, out, err, done})
        DeleteFileW(file.c_str());
    return result;
}

} // namespace kelvorin::testing
