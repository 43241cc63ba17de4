// The floor under a first backup that never leaves a half-written file under
// a final name: the least a Win32 program does for it, and nothing more. Each
// file goes through a temporary name beside its copy, takes the source's time
// stamp and is renamed into place written through, as the product's file
// services do; every folder of the target is made once, before its first file.
//   SafeCopyFloor.exe SOURCE_FOLDER TARGET_FOLDER [BUFFER_KIB]
// Prints "FILES BYTES FAILED"; the exit code is 1 when any file failed.
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t failed = 0;
};

class Copier {
public:
    explicit Copier(DWORD bufferSize)
        : buffer_(std::make_unique<unsigned char[]>(bufferSize)), size_(bufferSize) {}

    void Folder(const std::wstring& source, const std::wstring& target) {
        WIN32_FIND_DATAW data;
        const kelvorin::UniqueFolderListing find(FindFirstFileW((source + L"\\*").c_str(), &data));
        if (!find) return;
        bool made = false;
        do {
            const std::wstring name = data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name == L"." || name == L"..") continue;
                Folder(source + L'\\' + name, target + L'\\' + name);
                continue;
            }
            if (!made) {
                // The parent was made before this folder's walk began, if it had files.
                made = MakeChain(target);
            }
            if (!File(source + L'\\' + name, target + L'\\' + name)) ++totals_.failed;
        } while (FindNextFileW(find.get(), &data));
    }

    const Totals& Result() const { return totals_; }

private:
    static bool MakeChain(const std::wstring& folder) {
        if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) return true;
        if (error != ERROR_PATH_NOT_FOUND) return false;
        const std::size_t slash = folder.rfind(L'\\');
        if (slash == std::wstring::npos || !MakeChain(folder.substr(0, slash))) return false;
        return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }

    bool File(const std::wstring& source, const std::wstring& target) {
        const std::wstring partial = target + L"~tmp";
        kelvorin::UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!in) return false;
        kelvorin::UniqueFile out(CreateFileW(partial.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
        if (!out) return false;
        bool ok = true;
        std::uint64_t bytes = 0;
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
        // Both closed before the rename.
        out.reset();
        in.reset();
        if (ok)
            ok = MoveFileExW(partial.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok) {
            DeleteFileW(partial.c_str());
            return false;
        }
        ++totals_.files;
        totals_.bytes += bytes;
        return true;
    }

    std::unique_ptr<unsigned char[]> buffer_;
    DWORD size_;
    Totals totals_;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: SafeCopyFloor.exe SOURCE_FOLDER TARGET_FOLDER [BUFFER_KIB]\n");
        return 2;
    }
    const long kib = argc == 4 ? std::wcstol(argv[3], nullptr, 10) : 256;
    if (kib < 4 || kib > 64 * 1024) {
        std::fprintf(stderr, "SafeCopyFloor: a buffer of 4 to 65536 KiB\n");
        return 2;
    }
    Copier copier(static_cast<DWORD>(kib) * 1024);
    copier.Folder(argv[1], argv[2]);
    const Totals& t = copier.Result();
    std::printf("%llu %llu %llu\n", static_cast<unsigned long long>(t.files),
                static_cast<unsigned long long>(t.bytes),
                static_cast<unsigned long long>(t.failed));
    return t.failed == 0 ? 0 : 1;
}
