#pragma once
// One description per kind of control: how it is made and how it behaves.
// Adding a kind means a row here and, where it draws or holds something of
// its own, a case in FormWindow's creation.
#include "ui/Layout.h"

#include <windows.h>

namespace kelvorin::ui {

// No notification is a click (BN_CLICKED and STN_CLICKED are 0).
inline constexpr WORD kNoClick = 0xFFFF;

struct KindTraits {
    ControlKind kind;
    const wchar_t* className; // null: the control has no window of its own
    DWORD style = 0;          // beyond WS_CHILD, WS_CLIPSIBLINGS and WS_VISIBLE
    DWORD exStyle = 0;
    bool takesFocus = false;        // in the tab order
    bool keepsEnterAndEsc = false;  // Enter and Esc are its own input
    bool isPushButton = false;      // Enter presses it while focused; its "&" letter presses it
    bool takesNoTypedChars = false; // while it has the focus a letter presses a push button
    bool isContainer = false;       // lies under the controls that it holds
    bool isLabel = false;           // can size itself to its text
    WORD clickCode = kNoClick;      // the notification that is its click
};

const KindTraits& TraitsOf(ControlKind kind);

} // namespace kelvorin::ui
