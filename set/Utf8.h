#pragma once
// UTF-8 for text files that the program writes and reads back itself. A lone
// surrogate, which a Windows file name may hold, keeps its three-byte form, so
// every name comes back as it was.
#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

std::string ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, std::u16string_view text);
// nullopt for bytes that are no such text.
std::optional<std::u16string> FromUtf8(std::string_view bytes);

} // namespace kelvorin
