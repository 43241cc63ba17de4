#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace kelvorin {

// A REG_SZ value read whole, up to its first NUL. Nothing when the key cannot
// be opened (KEY_READ, then narrower read access), the value is missing or of
// another type (REG_EXPAND_SZ included).
std::optional<std::u16string> ReadRegistryText(HKEY root, const wchar_t* subkey,
                                               const wchar_t* name);

} // namespace kelvorin
