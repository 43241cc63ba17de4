#pragma once
#include <string>
#include <string_view>

namespace kelvorin {

// The program file's name up to its first dot: "...\Kelvorin.exe" gives "Kelvorin".
std::u16string ApplicationTitle(std::u16string_view modulePath);

// The framework's error text: a "." is appended when the last character's code
// is greater than that of ".".
std::u16string ErrorBoxText(std::u16string_view text);

} // namespace kelvorin
