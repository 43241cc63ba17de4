// The floor under a check of a backup: the least a Win32 program does to read
// two trees and compare them byte for byte, and nothing more. Every file of
// the source is opened beside its copy, both are read in 1 MiB chunks and
// compared; no stamps, no exclusions, no reader thread.
//   CompareFloor.exe SOURCE_FOLDER BACKUP_FOLDER
// Prints "FILES BYTES DIFFERENT"; the exit code is 1 when any file differs.
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t different = 0;
};

class Comparer {
public:
    Comparer() : a_(1 << 20), b_(1 << 20) {}

    void Folder(const std::wstring& source, const std::wstring& backup) {
        WIN32_FIND_DATAW data;
        const kelvorin::UniqueFolderListing find(FindFirstFileW((source + L"\\*").c_str(), &data));
        if (!find) return;
        do {
            const std::wstring name = data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != L"." && name != L"..")
                    Folder(source + L'\\' + name, backup + L'\\' + name);
            } else if (!Same(source + L'\\' + name, backup + L'\\' + name)) {
                ++totals.different;
            }
        } while (FindNextFileW(find.get(), &data));
    }

    Totals totals;

private:
    DWORD ReadFull(HANDLE h, std::vector<char>& buffer) {
        DWORD got = 0, n = 0;
        while (got < buffer.size() &&
               ReadFile(h, buffer.data() + got, static_cast<DWORD>(buffer.size() - got), &n,
                        nullptr) &&
               n > 0)
            got += n;
        return got;
    }

    bool Same(const std::wstring& source, const std::wstring& backup) {
        ++totals.files;
        const kelvorin::UniqueFile s(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
        const kelvorin::UniqueFile b(CreateFileW(backup.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
        bool same = s && b;
        while (same) {
            const DWORD n = ReadFull(s.get(), a_), m = ReadFull(b.get(), b_);
            totals.bytes += n + m;
            same = n == m && std::memcmp(a_.data(), b_.data(), n) == 0;
            if (n < a_.size()) break;
        }
        return same;
    }

    std::vector<char> a_, b_;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: CompareFloor.exe SOURCE_FOLDER BACKUP_FOLDER\n", stderr);
        return 2;
    }
    Comparer comparer;
    comparer.Folder(argv[1], argv[2]);
    const Totals& t = comparer.totals;
    std::printf("%llu %llu %llu\n", static_cast<unsigned long long>(t.files),
                static_cast<unsigned long long>(t.bytes),
                static_cast<unsigned long long>(t.different));
    return t.different ? 1 : 0;
}
