#include "app/win32/ConsoleStream.h"

#include <string>

namespace kelvorin {

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
    DWORD mode = 0;
    console_ = handle_ != INVALID_HANDLE_VALUE && handle_ && GetConsoleMode(handle_, &mode);
}

void ConsoleStream::Write(std::u16string_view text) {
    if (!handle_ || handle_ == INVALID_HANDLE_VALUE || text.empty()) return;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    DWORD done = 0;
    if (console_) {
        WriteConsoleW(handle_, wide, static_cast<DWORD>(length), &done, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), bytes, nullptr, nullptr);
    WriteFile(handle_, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr);
}

void ConsoleStream::WriteLine(std::u16string_view text) {
    std::u16string line(text);
    line += u"\r\n";
    Write(line);
}

} // namespace kelvorin
