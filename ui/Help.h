#pragma once
// Help requests. F1 makes Windows send WM_HELP for the focused control (or the
// highlighted menu item); a Form finds the help context and hands it to its own
// help hook, or, when it has none, to the application-wide help event.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace kelvorin::ui {

// The help contexts; each selects a page of the help window. Every context not
// listed shows the first page.
inline constexpr std::int32_t kHelpGeneral = 1;
inline constexpr std::int32_t kHelpFolders = 1000;
inline constexpr std::int32_t kHelpFiles = 2000;
inline constexpr std::int32_t kHelpTarget = 3000;
inline constexpr std::int32_t kHelpExclusions = 4000;
inline constexpr std::int32_t kHelpSynchron = 5000;

// A help hook: the help command (HELP_CONTEXT for F1), the request's data (the
// help context) and a flag by which the hook says whether other help systems are
// still to be asked. Returns true when it handled the request. No other help
// system exists here, so the flag is only passed along.
using HelpHook = std::function<bool(WORD command, LONG_PTR data, bool& callHelp)>;

// The application-wide help event, for windows without a hook of their own.
void SetApplicationHelpHook(HelpHook hook);

// Hands a help context to the window's hook, else to the application-wide event.
void DispatchHelp(const HelpHook& windowHook, std::int32_t context);

} // namespace kelvorin::ui
