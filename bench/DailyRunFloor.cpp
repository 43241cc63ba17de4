// The floor under a daily synchronising run that keeps versions: the least a
// Win32 program does for it, and nothing more. The source tree is walked and
// each file's copy looked up once; a changed file is copied through a
// temporary name (its stamp set, flushed), its previous copy moved aside into
// the store and the new one renamed into place. The backup tree is walked
// next: each file whose source the first walk did not see is moved aside into
// the store likewise, and a folder left empty is removed. The store is the
// product's, <T>:\.Kelvorin-Versionen\<JJJJ-MM-TT hh.mm.ss>\<path without drive>,
// its folders made when first needed.
//   DailyRunFloor.exe SOURCE_FOLDER BACKUP_FOLDER
// Prints "COPIED KEPT FAILED"; the exit code is 1 when anything failed.
#include "bench/Floor.h"
#include "bench/FloorCopy.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>

namespace kelvorin::bench {
namespace {

struct Totals {
    std::uint64_t copied = 0;
    std::uint64_t kept = 0;
    std::uint64_t failed = 0;
};

// Names ignore case on Windows: a copy whose name differs in case only is
// still its source's.
std::wstring Folded(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class DailyRun {
public:
    explicit DailyRun(const std::wstring& backupRoot) : copier_(256 * 1024, true) {
        SYSTEMTIME t;
        GetLocalTime(&t);
        wchar_t name[32];
        std::swprintf(name, 32, L"%04u-%02u-%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay,
                      t.wHour, t.wMinute, t.wSecond);
        store_ = backupRoot.substr(0, 2) + L"\\.Kelvorin-Versionen";
        runFolderBase_ = store_ + L'\\' + name;
    }

    // relative: the path below the set folder, with its leading backslash.
    void Sources(const std::wstring& source, const std::wstring& backup,
                 const std::wstring& relative = {}) {
        bool made = false;
        ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) {
            const std::wstring name = entry.cFileName;
            const std::wstring below = relative + L'\\' + name;
            if (IsFolder(entry)) {
                Sources(source + L'\\' + name, backup + L'\\' + name, below);
                return;
            }
            seen_.insert(Folded(below));
            const std::wstring copy = backup + L'\\' + name;
            WIN32_FILE_ATTRIBUTE_DATA current;
            if (!GetFileAttributesExW(copy.c_str(), GetFileExInfoStandard, &current)) {
                if (!made) made = MakeFolderChain(backup);
                Count(Copy(source + L'\\' + name, copy, false));
            } else if (CompareFileTime(&current.ftLastWriteTime, &entry.ftLastWriteTime) < 0) {
                Count(Copy(source + L'\\' + name, copy, true));
            }
        });
    }

    // Whether the folder is empty once its orphans are gone.
    bool Backups(const std::wstring& backup, const std::wstring& relative = {}) {
        bool empty = true;
        const bool listed = ForEachEntry(backup, [&](const WIN32_FIND_DATAW& entry) {
            const std::wstring name = entry.cFileName;
            const std::wstring below = relative + L'\\' + name;
            if (IsFolder(entry)) {
                const std::wstring folder = backup + L'\\' + name;
                if (!Backups(folder, below) || !RemoveDirectoryW(folder.c_str())) empty = false;
            } else if (seen_.contains(Folded(below))) {
                empty = false;
            } else if (Keep(backup + L'\\' + name)) {
                ++totals_.kept;
            } else {
                ++totals_.failed;
                empty = false;
            }
        });
        return listed && empty;
    }

    const Totals& Result() const { return totals_; }

private:
    void Count(bool copied) { ++(copied ? totals_.copied : totals_.failed); }

    bool Copy(const std::wstring& source, const std::wstring& copy, bool replaces) {
        const std::wstring partial = copy + L"~tmp";
        std::uint64_t bytes = 0;
        if (!copier_.Write(source, partial, bytes)) return false;
        // The previous copy or the new one is in place or in the store at every moment.
        if (replaces && !Keep(copy)) {
            DeleteFileW(partial.c_str());
            return false;
        }
        if (!MoveFileExW(partial.c_str(), copy.c_str(), MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(partial.c_str());
            return false;
        }
        if (replaces) ++totals_.kept;
        return true;
    }

    // Moves a backup file into this run's folder of the store.
    bool Keep(const std::wstring& backup) {
        if (runFolder_.empty() && !MakeRunFolder()) return false;
        const std::wstring kept = runFolder_ + backup.substr(2);
        // Files of one folder come together: its chain is made once.
        const std::wstring folder = kept.substr(0, kept.rfind(L'\\'));
        if (folder != madeFolder_) {
            if (!MakeFolderChain(folder)) return false;
            madeFolder_ = folder;
        }
        return MoveFileExW(backup.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }

    // A later run in the same second gets a folder of its own, as in the product.
    bool MakeRunFolder() {
        if (!MakeFolderChain(store_)) return false;
        for (int n = 1; n < 1000; ++n) {
            std::wstring name = runFolderBase_;
            if (n > 1) name += L" (" + std::to_wstring(n) + L')';
            if (CreateDirectoryW(name.c_str(), nullptr)) {
                runFolder_ = std::move(name);
                return true;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
        return false;
    }

    PartialCopier copier_;
    std::wstring store_, runFolderBase_, runFolder_, madeFolder_;
    std::unordered_set<std::wstring> seen_;
    Totals totals_;
};

} // namespace
} // namespace kelvorin::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kelvorin::bench;
    if (argc != 3) {
        std::fputs("usage: DailyRunFloor.exe SOURCE_FOLDER BACKUP_FOLDER\n", stderr);
        return 2;
    }
    const std::wstring backup = argv[2];
    if (backup.size() < 3 || backup[1] != L':' || backup[2] != L'\\') {
        std::fputs("DailyRunFloor: the backup folder is a drive path\n", stderr);
        return 2;
    }
    DailyRun run(backup);
    run.Sources(argv[1], backup);
    run.Backups(backup);
    const Totals& t = run.Result();
    PrintCounts({t.copied, t.kept, t.failed});
    return t.failed == 0 ? 0 : 1;
}
