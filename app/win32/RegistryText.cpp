#include "app/win32/RegistryText.h"

#include "win32/Handles.h"

#include <algorithm>
#include <vector>

namespace kelvorin {

namespace {

// Some accounts may query values without being allowed all of KEY_READ.
UniqueRegistryKey OpenKey(HKEY root, const wchar_t* subkey) {
    for (REGSAM access : {REGSAM{KEY_READ}, REGSAM{KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS},
                          REGSAM{KEY_QUERY_VALUE}}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, subkey, 0, access, &key) == ERROR_SUCCESS)
            return UniqueRegistryKey(key);
    }
    return {};
}

} // namespace

std::optional<std::u16string> ReadRegistryText(HKEY root, const wchar_t* subkey,
                                               const wchar_t* name) {
    const UniqueRegistryKey key = OpenKey(root, subkey);
    if (!key) return std::nullopt;

    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // The value may grow between asking for its size and reading it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = size;
        const LONG status = RegQueryValueExW(key.get(), name, nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        const auto chars = static_cast<std::ptrdiff_t>(got / sizeof(wchar_t));
        const auto end = std::find(buffer.begin(), buffer.begin() + chars, L'\0');
        return std::u16string(buffer.begin(), end);
    }
    return std::nullopt;
}

} // namespace kelvorin
