#pragma once
// The maker's details, shown by the about box. The maker is fictional and the
// home page a placeholder under the documentation domain example.org; a release
// sets real ones here, and only here.

namespace kelvorin::ui::maker {

inline constexpr wchar_t kCopyright[] = L"Copyright © 2024 Tavo";
inline constexpr wchar_t kHomePageAddress[] = L"https://tavo.example.org/";
inline constexpr wchar_t kHomePageHost[] = L"tavo.example.org";

} // namespace kelvorin::ui::maker
