// The floor under a first backup that never leaves a half-written file under
// a final name: the least a Win32 program does for it, and nothing more. Each
// file goes through a temporary name beside its copy, takes the source's time
// stamp, is flushed and is renamed into place written through, as the
// product's run does; every folder of the target is made once, before its
// first file. /NoFlush leaves out the flush: the floor of a run without it.
// /Bare writes each file under its own name, with its stamp, unflushed: the
// least any copy of a tree costs, the floor of a restore.
//   SafeCopyFloor.exe [/NoFlush | /Bare] SOURCE_FOLDER TARGET_FOLDER [BUFFER_KIB]
// Prints "FILES BYTES FAILED"; the exit code is 1 when any file failed.
#include "bench/Floor.h"
#include "bench/FloorCopy.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

namespace kelvorin::bench {
namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    std::uint64_t failed = 0;
};

class Copier {
public:
    Copier(DWORD bufferSize, bool flush, bool bare) : copier_(bufferSize, flush), bare_(bare) {}

    void Folder(const std::wstring& source, const std::wstring& target) {
        bool made = false;
        ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) {
            const std::wstring name = entry.cFileName;
            if (IsFolder(entry)) {
                Folder(source + L'\\' + name, target + L'\\' + name);
                return;
            }
            if (!made) {
                // The parent was made before this folder's walk began, if it had files.
                made = MakeFolderChain(target);
            }
            if (!File(source + L'\\' + name, target + L'\\' + name)) ++totals_.failed;
        });
    }

    const Totals& Result() const { return totals_; }

private:
    bool File(const std::wstring& source, const std::wstring& target) {
        const std::wstring partial = bare_ ? target : target + L"~tmp";
        std::uint64_t bytes = 0;
        if (!copier_.Write(source, partial, bytes)) return false;
        if (!bare_ && !MoveFileExW(partial.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(partial.c_str());
            return false;
        }
        ++totals_.files;
        totals_.bytes += bytes;
        return true;
    }

    PartialCopier copier_;
    bool bare_;
    Totals totals_;
};

} // namespace
} // namespace kelvorin::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kelvorin::bench;
    const bool noFlush = argc > 1 && _wcsicmp(argv[1], L"/NoFlush") == 0;
    const bool bare = argc > 1 && _wcsicmp(argv[1], L"/Bare") == 0;
    if (noFlush || bare) {
        --argc;
        ++argv;
    }
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: SafeCopyFloor.exe [/NoFlush | /Bare] SOURCE_FOLDER "
                             "TARGET_FOLDER [BUFFER_KIB]\n");
        return 2;
    }
    const long kib = argc == 4 ? std::wcstol(argv[3], nullptr, 10) : 256;
    if (kib < 4 || kib > 64 * 1024) {
        std::fprintf(stderr, "SafeCopyFloor: a buffer of 4 to 65536 KiB\n");
        return 2;
    }
    Copier copier(static_cast<DWORD>(kib) * 1024, !noFlush && !bare, bare);
    copier.Folder(argv[1], argv[2]);
    const Totals& t = copier.Result();
    PrintCounts({t.files, t.bytes, t.failed});
    return t.failed == 0 ? 0 : 1;
}
