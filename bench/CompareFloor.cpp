// The floor under a check of a backup: the least a Win32 program does to read
// two trees and compare them byte for byte, and nothing more. Every file of
// the source is opened beside its copy, both are read in 1 MiB chunks and
// compared; no stamps, no exclusions, no reader thread.
//   CompareFloor.exe SOURCE_FOLDER BACKUP_FOLDER
// Prints "FILES BYTES DIFFERENT"; the exit code is 1 when any file differs.
#include "bench/Floor.h"
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kelvorin::bench {
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
        ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) {
            const std::wstring name = entry.cFileName;
            if (IsFolder(entry))
                Folder(source + L'\\' + name, backup + L'\\' + name);
            else if (!Same(source + L'\\' + name, backup + L'\\' + name))
                ++totals.different;
        });
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
} // namespace kelvorin::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kelvorin::bench;
    if (argc != 3) {
        std::fputs("usage: CompareFloor.exe SOURCE_FOLDER BACKUP_FOLDER\n", stderr);
        return 2;
    }
    Comparer comparer;
    comparer.Folder(argv[1], argv[2]);
    const Totals& t = comparer.totals;
    PrintCounts({t.files, t.bytes, t.different});
    return t.different ? 1 : 0;
}
