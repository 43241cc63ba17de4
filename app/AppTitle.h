#pragma once
#include <string>
#include <string_view>

namespace kelvorin {

// The program file's name up to its first dot: "...\Kelvorin.exe" gives "Kelvorin".
std::u16string ApplicationTitle(std::u16string_view modulePath);

} // namespace kelvorin
