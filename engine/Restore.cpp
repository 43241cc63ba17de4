#include "engine/Restore.h"

#include "engine/CopyRules.h"
#include "engine/FileCopy.h"
#include "engine/Paths.h"
#include "engine/SameStamp.h"
#include "engine/Texts.h"

#include <algorithm>

namespace kelvorin {
namespace {

bool Covers(const ListingHead& head, std::u16string_view folder) {
    return std::any_of(head.folders.begin(), head.folders.end(),
                       [&](const ListedFolder& f) { return IsSamePath(f.path, folder); });
}

// Whether the path belongs to the part: below its folder, not below a deeper one.
bool BelongsTo(std::u16string_view path, const RestorePart& part) {
    return LiesIn(path, part.folder) &&
           std::none_of(part.deeper.begin(), part.deeper.end(),
                        [&](const std::u16string& d) { return LiesIn(path, d); });
}

bool IsAsked(std::u16string_view path, const std::vector<std::u16string>& only) {
    return only.empty() || std::any_of(only.begin(), only.end(),
                                       [&](const std::u16string& o) { return LiesIn(path, o); });
}

// The totals the head gives for the part, when they are exact: every folder
// of the listing within the part has its totals, and none holds a set folder
// deeper than itself, whose files its lines would hold too.
std::optional<RestoreTotals> HeadTotals(const RestorePart& part) {
    RestoreTotals totals;
    for (const ListedFolder& listed : part.state->head.folders) {
        if (!BelongsTo(listed.path, part)) continue;
        if (!listed.files || !listed.bytes) return std::nullopt;
        for (const std::u16string& deeper : part.deeper)
            if (LiesIn(deeper, listed.path)) return std::nullopt;
        totals.files += *listed.files;
        totals.bytes += *listed.bytes;
    }
    return totals;
}

bool ForEachFileOfPart(FileServices& files, DriveLetter target, const RestorePart& part,
                       const std::vector<std::u16string>& only,
                       const std::function<bool(const PlannedFile&)>& visit) {
    ListingReader reader(files, ListingPath(target, part.state->run.name));
    if (!reader.ReadHead()) return false;
    PlannedFile planned{{}, {}, &part.state->run};
    ListedFile file;
    while (reader.Next(file)) {
        if (!BelongsTo(file.source, part) || !IsAsked(file.source, only)) continue;
        planned.source = std::move(file.source);
        planned.copy = file.copy;
        if (!visit(planned)) return true;
    }
    return reader.Whole();
}

enum class Written { Yes, Gone, Failed };

// The bytes, then the stamp. Gone when the copy read back another length
// than listed: it is not the listed copy. Nothing is left unless Yes.
Written WriteOneFile(FileServices& files, const std::u16string& from, const std::u16string& to,
                     const ListedCopy& copy, FileCopier& copier,
                     const std::function<bool(std::uint64_t)>& progressed) {
    OpenFile in(files, files.OpenForReading(from, Sharing::ReadersAllowed));
    if (!in.IsValid()) return Written::Failed;
    OpenFile out(files, files.CreateForWriting(to, Sharing::Exclusive));
    if (!out.IsValid()) return Written::Failed;
    std::uint64_t bytes = 0;
    Written written = Written::Yes;
    if (copier.Copy(in.Get(), out.Get(), bytes, progressed) != CopyOutcome::Copied)
        written = Written::Failed;
    else if (bytes != copy.size)
        written = Written::Gone;
    else if (!(copy.time != kNoFileTime
                   ? files.SetHandleTime(out.Get(), copy.time)
                   : files.SetHandleStamp(out.Get(), copy.local, FileServices::kInvalidHandle)))
        written = Written::Failed;
    out.Close();
    if (written != Written::Yes) files.DeleteOneFile(to);
    return written;
}

// What a restore writes goes into a folder of this name inside its folder,
// and each drive's tree moves out of it once the restore ends: a restore
// stopped at any moment, even killed, leaves no file under its name that is
// not whole. One rename per drive, not per file: on Wine each rename to a
// name that is not there scans the folder.
std::u16string InWorkFolder(const std::u16string& base) {
    return base + u'\\' + std::u16string(kPartialCopyTail).substr(1);
}

// Moves each drive's tree out of the folder in work, and the folder away.
bool MoveOutOfWork(FileServices& files, const std::u16string& base) {
    const std::u16string inWork = InWorkFolder(base);
    std::vector<std::u16string> drives;
    files.ListFolder(inWork + u"\\*.*", [&](const FolderEntry& e) {
        if (e.name != u"." && e.name != u"..") drives.emplace_back(e.name);
    });
    bool moved = true;
    for (const std::u16string& drive : drives)
        moved = files.RenameWithoutReplacing(inWork + u'\\' + drive, base + u'\\' + drive) && moved;
    return files.RemoveOneFolder(inWork) && moved;
}

// Whether the restored path lies inside the folder, with nothing on the way
// that could lead out of it.
bool LiesPlainlyIn(const std::u16string& path, const std::u16string& folder) {
    return path.size() > folder.size() + 1 && path.starts_with(folder) &&
           path[folder.size()] == u'\\' &&
           IsPlainRelativePath(std::u16string_view(path).substr(folder.size() + 1));
}

} // namespace

bool CoversAnyOf(const ListingHead& head, const std::vector<std::u16string>& setFolders) {
    return std::any_of(setFolders.begin(), setFolders.end(),
                       [&](const std::u16string& folder) { return Covers(head, folder); });
}

StoreContents ReadStore(FileServices& files, DriveLetter target) {
    StoreContents store{ListStoredRuns(files, target, [] {}), {}, {}};
    for (const StoredRun& run : store.runs) {
        if (!run.listingBytes) continue;
        const std::u16string path = ListingPath(target, run.name);
        auto head = ListingReader(files, path).ReadHead();
        const auto count = head ? ReadListingEnd(files, path) : std::nullopt;
        bool whole = count.has_value();
        if (whole && !head->folders.empty() && head->folders.front().files) {
            std::uint64_t listed = 0;
            for (const ListedFolder& folder : head->folders)
                listed += folder.files.value_or(0);
            whole = listed == *count;
        }
        if (whole)
            store.states.push_back({run, std::move(*head)});
        else
            store.damaged.push_back(run.name);
    }
    return store;
}

std::optional<RestorePlan> PlanRestore(const StoreContents& store,
                                       const std::vector<std::u16string>& setFolders,
                                       std::int64_t moment,
                                       const std::vector<std::u16string>& only) {
    std::vector<std::u16string> folders; // each once, in any spelling
    for (const std::u16string& folder : setFolders)
        if (IsPlainPath(folder) &&
            std::none_of(folders.begin(), folders.end(),
                         [&](const std::u16string& f) { return IsSamePath(f, folder); }))
            folders.push_back(folder);
    RestorePlan plan{{}, only};
    for (const std::u16string& folder : folders) {
        // A part that holds nothing asked for is not read.
        if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::u16string& o) {
                return LiesIn(o, folder) || LiesIn(folder, o);
            }))
            continue;
        const StoredState* chosen = nullptr;
        for (const StoredState& state : store.states)
            if (state.run.moment <= moment && Covers(state.head, folder)) chosen = &state;
        if (!chosen) continue;
        RestorePart part{folder, {}, chosen};
        for (const std::u16string& other : folders)
            if (LiesBelow(other, folder)) part.deeper.push_back(other);
        plan.parts.push_back(std::move(part));
    }
    if (plan.parts.empty()) return std::nullopt;
    return plan;
}

std::optional<RestorePlan> PlanCheckedRestore(FileServices& files, DriveLetter target,
                                              StoreContents& store,
                                              const std::vector<std::u16string>& setFolders,
                                              std::int64_t moment,
                                              const std::vector<std::u16string>& only) {
    std::vector<std::u16string> checked;
    for (;;) {
        auto plan = PlanRestore(store, setFolders, moment, only);
        if (!plan) return plan;
        const StoredState* damaged = nullptr;
        for (const RestorePart& part : plan->parts) {
            const std::u16string& name = part.state->run.name;
            if (std::find(checked.begin(), checked.end(), name) != checked.end()) continue;
            if (!CheckListing(files, ListingPath(target, name))) {
                damaged = part.state;
                break;
            }
            checked.push_back(name);
        }
        if (!damaged) return plan;
        store.damaged.push_back(damaged->run.name);
        std::erase_if(store.states, [&](const StoredState& s) { return &s == damaged; });
    }
}

std::optional<RestoreTotals> CountRestore(FileServices& files, DriveLetter target,
                                          const RestorePlan& plan) {
    RestoreTotals totals;
    for (const RestorePart& part : plan.parts) {
        std::optional<RestoreTotals> of =
            plan.only.empty() ? HeadTotals(part) : std::optional<RestoreTotals>();
        if (!of) {
            of.emplace();
            if (!ForEachFileOfPart(files, target, part, plan.only, [&](const PlannedFile& file) {
                    ++of->files;
                    of->bytes += file.copy.size;
                    return true;
                }))
                return std::nullopt;
        }
        totals.files += of->files;
        totals.bytes += of->bytes;
    }
    return totals;
}

bool ForEachPlannedFile(FileServices& files, DriveLetter target, const RestorePlan& plan,
                        const std::function<bool(const PlannedFile&)>& visit) {
    bool going = true;
    for (const RestorePart& part : plan.parts) {
        const bool whole =
            ForEachFileOfPart(files, target, part, plan.only,
                              [&](const PlannedFile& file) { return going = visit(file); });
        if (!whole) return false;
        if (!going) break;
    }
    return true;
}

std::vector<std::u16string> PlannedGaps(const RestorePlan& plan) {
    std::vector<std::u16string> gaps;
    for (const RestorePart& part : plan.parts)
        for (const std::u16string& gap : part.state->head.gaps)
            if (BelongsTo(gap, part) &&
                (plan.only.empty() ||
                 std::any_of(plan.only.begin(), plan.only.end(), [&](const std::u16string& o) {
                     return LiesIn(gap, o) || LiesIn(o, gap);
                 })))
                gaps.push_back(gap);
    return gaps;
}

std::u16string RestoredPath(std::u16string_view folder, std::u16string_view source) {
    std::u16string path(folder);
    if (path.empty() || path.back() != u'\\') path += u'\\';
    path += DriveOf(source).Letter();
    path += SingleBackslashes(source).substr(2);
    return path;
}

RestoreCounts WriteRestore(FileServices& files, DriveLetter target, const StoreContents& store,
                           const RestorePlan& plan, const RestoreTotals& totals,
                           const std::u16string& folder, RestoreHost& host) {
    RestoreCounts counts;
    for (const std::u16string& gap : PlannedGaps(plan)) {
        ++counts.unreadAtRun;
        host.UnreadAtRun(gap);
    }
    std::u16string base(folder);
    while (base.ends_with(u'\\'))
        base.pop_back();
    const std::u16string inWork = InWorkFolder(base);
    std::uint64_t filesDone = 0, bytesBefore = 0;
    std::vector<bool> found(plan.only.size());
    FileCopier copier(files);
    // Files of one folder follow each other: its chain is made once.
    std::u16string madeFolder;
    const bool whole = ForEachPlannedFile(files, target, plan, [&](const PlannedFile& file) {
        if (host.Cancelled()) return !(counts.cancelled = true);
        for (std::size_t i = 0; i < plan.only.size(); ++i)
            found[i] = found[i] || LiesIn(file.source, plan.only[i]);
        const std::u16string to = RestoredPath(inWork, file.source);
        const auto progress = [&](std::uint64_t done) {
            host.Progress({file.source, filesDone, totals.files, bytesBefore + done, totals.bytes});
        };
        Written written = Written::Failed;
        if (LiesPlainlyIn(to, inWork)) {
            const std::u16string from = WhereBytesAre(files, target, store.runs, file);
            written = from.empty() ? Written::Gone : Written::Yes;
            if (written == Written::Yes) {
                progress(0);
                if (const std::u16string_view parent =
                        std::u16string_view(to).substr(0, to.rfind(u'\\'));
                    parent != madeFolder && files.MakeFolderChain(parent))
                    madeFolder = parent;
                written = WriteOneFile(files, from, to, file.copy, copier, [&](std::uint64_t done) {
                    progress(done);
                    return !host.Cancelled();
                });
            }
        }
        ++filesDone;
        bytesBefore += file.copy.size;
        switch (written) {
        case Written::Yes:
            ++counts.written;
            break;
        case Written::Gone:
            ++counts.noLongerThere;
            host.NoLongerThere(file.source);
            break;
        case Written::Failed:
            if (host.Cancelled()) return !(counts.cancelled = true);
            ++counts.notWritten;
            host.NotWritten(file.source);
            break;
        }
        return true;
    });
    // The stick went, or a listing no longer reads as it did a moment ago.
    if (!whole && !counts.cancelled) {
        ++counts.notWritten;
        host.NotWritten(StorePathOf(target));
    }
    for (std::size_t i = 0; i < plan.only.size() && whole && !counts.cancelled; ++i) {
        if (found[i]) continue;
        ++counts.notInState;
        host.NotInState(plan.only[i]);
    }
    // What a stopped restore wrote is whole too: it comes out as well.
    if (files.IsExistingFolder(inWork) && !MoveOutOfWork(files, base)) {
        ++counts.notWritten;
        host.NotWritten(inWork);
    }
    return counts;
}

std::vector<FileVersion> VersionsOf(FileServices& files, DriveLetter target,
                                    const StoreContents& store,
                                    const std::vector<std::u16string>& setFolders,
                                    const std::u16string& source) {
    std::vector<FileVersion> versions;
    const auto sameCopy = [](const ListedCopy& a, const ListedCopy& b) {
        return a.size == b.size &&
               (a.time != kNoFileTime && b.time != kNoFileTime ? a.time == b.time
                                                               : a.local == b.local);
    };
    for (const StoredState& state : store.states) {
        const bool covers = std::any_of(setFolders.begin(), setFolders.end(), [&](const auto& f) {
            return LiesIn(source, f) && Covers(state.head, f);
        });
        if (!covers) continue;
        // Read whole: a listing damaged anywhere offers nothing.
        ListingReader reader(files, ListingPath(target, state.run.name));
        if (!reader.ReadHead()) continue;
        std::optional<ListedCopy> listed;
        for (ListedFile file; reader.Next(file);)
            if (!listed && IsSamePath(file.source, source)) listed = file.copy;
        if (!reader.Whole() || !listed) continue;
        if (std::any_of(versions.begin(), versions.end(),
                        [&](const FileVersion& v) { return sameCopy(v.copy, *listed); }))
            continue;
        const PlannedFile planned{source, *listed, &state.run};
        versions.push_back(
            {&state.run, *listed, !WhereBytesAre(files, target, store.runs, planned).empty()});
    }
    return versions;
}

// What a run replaced went into its own folder, so a listed copy that a
// later run replaced is in that later run's folder.
std::u16string WhereBytesAre(FileServices& files, DriveLetter target,
                             const std::vector<StoredRun>& runs, const PlannedFile& file) {
    const std::u16string mirror = BackupPathOf(file.source, target);
    const auto isListed = [&](const std::u16string& path) {
        const std::optional<FileFacts> found = files.ExistingFile(path);
        return found && IsListedCopy(*found, file.copy);
    };
    if (isListed(mirror)) return mirror;
    for (const StoredRun& later : runs) {
        if (later < *file.run || !later.hasFolder) continue;
        if (std::u16string version = VersionPath(target, later.name, mirror); isListed(version))
            return version;
    }
    return {};
}

} // namespace kelvorin
