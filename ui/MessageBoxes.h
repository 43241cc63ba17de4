#pragma once
#include <windows.h>

#include <string>

namespace kelvorin::ui {

// The application's title: the program file's name up to its first dot.
std::wstring ApplicationTitle();

// The framework's error box: stop icon, OK, the application's title; a "." is
// appended when the text's last character is greater than ".".
void ShowErrorBox(HWND owner, const std::wstring& text);

// A plain message: no icon, OK, the application's title, centred on the screen.
void ShowPlainMessage(HWND owner, const std::wstring& text);

} // namespace kelvorin::ui
