#pragma once
// Every German text that the windows show, in one place.

namespace kelvorin::ui::texts {

inline constexpr wchar_t kMainCaption[] = L"Datensicherung";

// The set file's open and save dialogs; the filter's pairs are NUL-separated.
inline constexpr wchar_t kSetFileInitialName[] = L"Kelvorin*.ini";
inline constexpr wchar_t kSetFileFilter[] = L"Zusammenstellung (Kelvorin*.ini)\0Kelvorin*.ini\0"
                                            L"Alle Dateien(*.*)\0*.*\0";

} // namespace kelvorin::ui::texts
