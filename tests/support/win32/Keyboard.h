#pragma once
// Keys through the system's input, as the keyboard gives them to the window
// that has it; for windows of the test's own process and of other processes.
#include <windows.h>

#include <initializer_list>
#include <vector>

namespace kelvorin::testing {

// Pressed in order and released in reverse, so {VK_MENU, 'S'} is Alt+S. False
// when the system took not all of them.
inline bool SendKeys(std::initializer_list<WORD> keys) {
    auto input = [](WORD key, DWORD flags) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = key;
        one.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            flags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
        }
        one.ki.dwFlags = flags;
        return one;
    };
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(input(key, 0));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        inputs.push_back(input(*key, KEYEVENTF_KEYUP));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

} // namespace kelvorin::testing
