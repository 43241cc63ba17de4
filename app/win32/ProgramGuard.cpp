#include "app/win32/ProgramGuard.h"

#include "app/CmdOptions.h"
#include "app/CmdTexts.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace kelvorin {

namespace {

ProblemReport& CrashReport() {
    static ProblemReport report;
    return report;
}

std::u16string Ascii(const char* text) {
    std::u16string result;
    for (; text && *text; ++text)
        result += static_cast<unsigned char>(*text) < 0x80 ? static_cast<char16_t>(*text) : u'?';
    return result;
}

[[noreturn]] void EndWith(const std::u16string& what) {
    if (CrashReport()) CrashReport()(texts::kInternalError + what);
    ExitProcess(static_cast<UINT>(CmdExit::InternalError));
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX",
                  static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    EndWith(texts::kInternalErrorCrash + Ascii(code));
}

} // namespace

int RunGuarded(const std::function<int()>& body, const ProblemReport& report) {
    try {
        return body();
    } catch (const std::exception& e) {
        report(texts::kInternalError + Ascii(e.what()));
    } catch (...) {
        report(texts::kInternalError + std::u16string(texts::kInternalErrorUnknown));
    }
    return static_cast<int>(CmdExit::InternalError);
}

void GuardAgainstCrashes(ProblemReport report) {
    CrashReport() = std::move(report);
    SetUnhandledExceptionFilter(OnCrash);
    std::set_terminate([] { EndWith(texts::kInternalErrorUnknown); });
}

} // namespace kelvorin
