#pragma once
// Every German text that the windows show, in one place.

namespace kelvorin::ui::texts {

inline constexpr wchar_t kMainCaption[] = L"Datensicherung";

} // namespace kelvorin::ui::texts
