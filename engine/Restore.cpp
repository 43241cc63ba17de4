#include "engine/Restore.h"

#include "engine/Paths.h"
#include "set/PathOrder.h"

#include <unordered_set>

namespace kelvorin {
namespace {

constexpr std::size_t kChunkBytes = 0x10000;

// A folder as the listings and the set may write it: case-blind, one
// backslash each, none at the end.
std::u16string FolderKey(std::u16string_view folder) {
    std::u16string key = FoldedPath(SingleBackslashes(folder));
    while (!key.empty() && key.back() == u'\\')
        key.pop_back();
    return key;
}

bool Covers(const StateListing& listing, const std::u16string& folderKey) {
    for (const std::u16string& folder : listing.folders)
        if (FolderKey(folder) == folderKey) return true;
    return false;
}

bool Matches(const std::optional<FileFacts>& found, const FileFacts& listed) {
    return found && found->size == listed.size && found->stamp == listed.stamp;
}

// The mirror's copy when it is the listed one, else the oldest version from
// that run on: what a run replaced went into its own folder, so a listed copy
// that a later run replaced is in that later run's folder. Empty when none is.
std::u16string WhereBytesAre(FileServices& files, DriveLetter target,
                             const std::vector<StoredRun>& runs, const PlannedFile& file) {
    const std::u16string mirror = BackupPathOf(file.source, target);
    if (Matches(files.ExistingFile(mirror), file.copy)) return mirror;
    for (const StoredRun& later : runs) {
        if (later < *file.run || !later.hasFolder) continue;
        std::u16string version = VersionPath(target, later.name, mirror);
        if (Matches(files.ExistingFile(version), file.copy)) return version;
    }
    return {};
}

bool CopyOut(FileServices& files, const std::u16string& from, const std::u16string& to,
             DosStamp stamp, std::vector<unsigned char>& buffer,
             const std::function<bool(std::uint64_t)>& progressed) {
    OpenFile in(files, files.OpenForReading(from, Sharing::ReadersAllowed));
    if (!in.IsValid()) return false;
    OpenFile out(files, files.CreateForWriting(to, Sharing::Exclusive));
    if (!out.IsValid()) return false;
    std::uint64_t done = 0;
    for (;;) {
        const std::int64_t n = files.ReadChunk(in.Get(), buffer.data(), kChunkBytes);
        if (n < 0) return false;
        if (n == 0) break;
        if (files.WriteChunk(out.Get(), buffer.data(), n) != n) return false;
        done += static_cast<std::uint64_t>(n);
        if (!progressed(done)) return false;
    }
    return files.SetHandleStamp(out.Get(), stamp, FileServices::kInvalidHandle);
}

} // namespace

bool CoversAnyOf(const StateListing& listing, const std::vector<std::u16string>& setFolders) {
    for (const std::u16string& folder : setFolders)
        if (Covers(listing, FolderKey(folder))) return true;
    return false;
}

StoreContents ReadStore(FileServices& files, DriveLetter target) {
    StoreContents store{ListStoredRuns(files, target, [] {}), {}};
    for (const StoredRun& run : store.runs) {
        if (!run.listingBytes) continue;
        if (auto listing = ReadListing(files, ListingPath(target, run.name)))
            store.states.push_back({run, std::move(*listing)});
    }
    return store;
}

std::optional<RestorePlan> PlanRestore(const StoreContents& store,
                                       const std::vector<std::u16string>& setFolders,
                                       std::int64_t moment) {
    RestorePlan plan;
    bool anyState = false;
    std::unordered_set<std::u16string> planned; // case-blind sources
    for (const std::u16string& setFolder : setFolders) {
        const std::u16string key = FolderKey(setFolder);
        const StoredState* chosen = nullptr;
        for (const StoredState& state : store.states)
            if (state.run.moment <= moment && Covers(state.listing, key)) chosen = &state;
        if (!chosen) continue;
        anyState = true;
        const std::u16string prefix = key + u'\\';
        for (const ListedFile& file : chosen->listing.files) {
            std::u16string folded = FoldedPath(SingleBackslashes(file.source));
            if (!folded.starts_with(prefix) || !planned.insert(std::move(folded)).second) continue;
            plan.files.push_back({file.source, file.copy, &chosen->run});
            plan.bytes += file.copy.size;
        }
    }
    if (!anyState) return std::nullopt;
    return plan;
}

std::u16string RestoredPath(std::u16string_view folder, std::u16string_view source) {
    std::u16string path(folder);
    if (path.empty() || path.back() != u'\\') path += u'\\';
    path += DriveOf(source).Letter();
    path += SingleBackslashes(source).substr(2);
    return path;
}

RestoreCounts WriteRestore(FileServices& files, DriveLetter target, const StoreContents& store,
                           const RestorePlan& plan, const std::u16string& folder,
                           RestoreHost& host) {
    RestoreCounts counts;
    std::uint64_t before = 0;
    std::vector<unsigned char> buffer(kChunkBytes);
    // Files of one folder follow each other: its chain is made once.
    std::u16string madeFolder;
    for (const PlannedFile& file : plan.files) {
        if (host.Cancelled()) {
            counts.cancelled = true;
            break;
        }
        const std::u16string from = WhereBytesAre(files, target, store.runs, file);
        if (from.empty()) {
            ++counts.noLongerThere;
            host.NoLongerThere(file.source);
            continue;
        }
        host.Progress(file.source, before, plan.bytes);
        const std::u16string to = RestoredPath(folder, file.source);
        if (const std::u16string_view parent = std::u16string_view(to).substr(0, to.rfind(u'\\'));
            parent != madeFolder && files.MakeFolderChain(parent))
            madeFolder = parent;
        const bool written =
            CopyOut(files, from, to, file.copy.stamp, buffer, [&](std::uint64_t done) {
                host.Progress(file.source, before + done, plan.bytes);
                return !host.Cancelled();
            });
        before += file.copy.size;
        if (written) {
            ++counts.written;
        } else if (host.Cancelled()) {
            files.DeleteOneFile(to);
            counts.cancelled = true;
            break;
        } else {
            files.DeleteOneFile(to);
            ++counts.notWritten;
            host.NotWritten(file.source);
        }
    }
    return counts;
}

} // namespace kelvorin
