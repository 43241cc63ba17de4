#include "bench/FloorCopy.h"

#include "win32/Handles.h"

namespace kelvorin::bench {

bool PartialCopier::Write(const std::wstring& source, const std::wstring& partial,
                          std::uint64_t& bytes) {
    bytes = 0;
    kelvorin::UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) return false;
    kelvorin::UniqueFile out(CreateFileW(partial.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    bool ok = true;
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(in.get(), buffer_.get(), size_, &got, nullptr)) ok = false;
        if (!ok || got == 0) break;
        if (!WriteFile(out.get(), buffer_.get(), got, &written, nullptr) || written != got) {
            ok = false;
            break;
        }
        bytes += got;
    }
    FILETIME stamp;
    if (ok)
        ok = GetFileTime(in.get(), nullptr, nullptr, &stamp) &&
             SetFileTime(out.get(), nullptr, nullptr, &stamp);
    if (ok && flush_) ok = FlushFileBuffers(out.get()) != 0;
    // Both closed before any rename.
    out.reset();
    in.reset();
    if (!ok) DeleteFileW(partial.c_str());
    return ok;
}

bool MakeFolderChain(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return true;
    if (error != ERROR_PATH_NOT_FOUND) return false;
    const std::size_t slash = folder.rfind(L'\\');
    if (slash == std::wstring::npos || !MakeFolderChain(folder.substr(0, slash))) return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace kelvorin::bench
