#pragma once
// Text output of the console program: wide-character output on a console,
// UTF-8 bytes when redirected to a file or a pipe.
#include <windows.h>

#include <string_view>

namespace kelvorin {

class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);
    bool IsConsole() const { return console_; }
    void Write(std::u16string_view text);
    void WriteLine(std::u16string_view text);

private:
    HANDLE handle_;
    bool console_;
};

} // namespace kelvorin
