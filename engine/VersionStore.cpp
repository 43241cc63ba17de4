#include "engine/VersionStore.h"

#include "engine/Calendar.h"
#include "engine/DriveRoom.h"
#include "engine/HeldFiles.h"
#include "engine/Paths.h"
#include "engine/RunNames.h"
#include "engine/Texts.h"
#include "set/PathOrder.h"

namespace kelvorin {
namespace {

// One backup path however the walks spelled it: the target ignores case.
std::u16string KeptKey(const std::u16string& backup) {
    return FoldedPath(SingleBackslashes(backup));
}

} // namespace

VersionStore::VersionStore(FileServices& files, DriveLetter drive, int keepDays,
                           const LocalTime& runStart, Events events)
    : files_(files), drive_(drive), keepDays_(keepDays), runStart_(runStart),
      events_(std::move(events)),
      pruning_(files, drive, {events_.notRemoved, events_.removedForRoom, events_.keepResponsive}),
      plain_(files, events_.keepResponsive) {}

std::u16string VersionStore::PathInStore(const std::u16string& backup) const {
    return runFolders_.empty() ? std::u16string()
                               : VersionPath(drive_, runFolders_.front(), backup);
}

bool VersionStore::Usable() {
    if (!usable_) {
        const PathInfo store = files_.LookUp(StorePath());
        usable_ = !(store.state == PathState::Folder && (store.attributes & kAttrReparsePoint));
    }
    return *usable_;
}

std::u16string VersionStore::FreeRunName() {
    // A later run in the same second gets a name of its own.
    for (int n = 1; n <= kMostRunsPerSecond; ++n) {
        std::u16string name = RunFolderName(runStart_, n);
        const PathState folder = files_.StateOf(RunFolderPath(drive_, name));
        const PathState listing =
            folder == PathState::Missing ? files_.StateOf(ListingPath(drive_, name)) : folder;
        if (listing == PathState::Unknown) break;
        if (listing == PathState::Missing) return name;
    }
    return {};
}

KeepOutcome VersionStore::MakeRunFolder(std::size_t n) {
    if (n < runFolders_.size()) return KeepOutcome::Kept;
    if (!Usable()) return KeepOutcome::Failed;
    if (std::u16string name = FreeRunName(); !name.empty()) {
        if (files_.MakeFolderChain(RunFolderPath(drive_, name))) {
            runFolders_.push_back(std::move(name));
            return KeepOutcome::Kept;
        }
        // Room may come from older runs; any other refusal stays for this run.
        if (files_.LastFault() == FileFault::DriveFull) return KeepOutcome::DriveFull;
    }
    if (runFolders_.empty()) usable_ = false;
    return KeepOutcome::Failed;
}

void VersionStore::WriteListing(StateRecord& state) {
    if (!Usable()) return;
    if (runFolders_.empty()) {
        // A run that only added files has no folder: the listing takes the
        // name that its folder would have had.
        std::u16string name = FreeRunName();
        if (name.empty() || !files_.MakeFolderChain(StorePath())) {
            events_.listingNotWritten(ListingPath(drive_, RunFolderName(runStart_)));
            return;
        }
        runFolders_.push_back(std::move(name));
    }
    const std::u16string path = ListingPath(drive_, runFolders_.front());
    if (state.WriteTo(path, runFolders_.front())) return;
    if (state.Fault() == FileFault::DriveFull && MakeRoomFor(state.Bytes()) &&
        state.WriteTo(path, runFolders_.front()))
        return;
    events_.listingNotWritten(path);
}

KeepOutcome VersionStore::MoveInto(std::size_t n, const std::u16string& backup) {
    if (const KeepOutcome made = MakeRunFolder(n); made != KeepOutcome::Kept) return made;
    const std::u16string kept = VersionPath(drive_, runFolders_[n], backup);
    // Kept files of one folder follow each other: its chain is made once.
    if (const std::u16string_view folder = std::u16string_view(kept).substr(0, kept.rfind(u'\\'));
        folder != madeFolder_) {
        if (!files_.MakeFolderChain(folder))
            return files_.LastFault() == FileFault::DriveFull ? KeepOutcome::DriveFull
                                                              : KeepOutcome::Failed;
        madeFolder_ = folder;
    }
    if (!RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(backup, kept); },
            events_.keepResponsive))
        return KeepOutcome::Failed;
    ++kept_[KeptKey(backup)];
    return KeepOutcome::Kept;
}

KeepOutcome VersionStore::MoveIntoStore(const std::u16string& backup) {
    if (kept_.contains(KeptKey(backup))) return KeepOutcome::KeptBefore;
    return MoveInto(0, backup);
}

bool VersionStore::PutBack(const std::u16string& backup) {
    if (runFolders_.empty()) return false;
    if (!RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(PathInStore(backup), backup); },
            events_.keepResponsive))
        return false;
    kept_.erase(KeptKey(backup));
    return true;
}

void VersionStore::RunBegins() {
    RemovePartialListings();
    PruneByAge();
}

void VersionStore::RemovePartialListings() {
    if (!Usable()) return;
    std::vector<std::u16string> leftovers;
    files_.ListFolder(StorePath() + u"\\*.*", [&](const FolderEntry& e) {
        if (!(e.attributes & kAttrDirectory) && e.name.ends_with(kPartialCopyTail))
            leftovers.push_back(StorePath() + u'\\' + std::u16string(e.name));
    });
    for (const std::u16string& leftover : leftovers)
        files_.DeleteOneFile(leftover);
}

void VersionStore::RunEnds(StateRecord* finished) {
    if (finished && finished->CoversAny()) WriteListing(*finished);
    for (;;) {
        const std::int64_t free = files_.FreeBytesOnDrive(drive_);
        if (free < 0 || HasRoomForARun(free) || !PruneOldest()) return;
    }
}

CopyOutcome VersionStore::PutInPlace(const std::u16string& partial, const std::u16string& backup,
                                     bool replaces) {
    // A rename that never replaces: a copy that was there unseen is not lost
    // either. (A folder or a read-only copy was refused before the copy began.)
    if (replaces) {
        switch (MoveIntoStore(backup)) {
        case KeepOutcome::Kept:
            break;
        case KeepOutcome::KeptBefore:
            return plain_.PutInPlace(partial, backup, replaces);
        case KeepOutcome::Failed:
            return CopyOutcome::Failed;
        case KeepOutcome::DriveFull:
            return CopyOutcome::DriveFull;
        }
    }
    if (RetryWhileHeld(
            files_, [&] { return files_.RenameWithoutReplacing(partial, backup); },
            events_.keepResponsive))
        return CopyOutcome::Copied;
    if (replaces && !PutBack(backup)) events_.onlyInStore(PathInStore(backup));
    return CopyOutcome::Failed;
}

bool VersionStore::Retire(const std::u16string& backup) {
    const auto kept = kept_.find(KeptKey(backup));
    return MoveInto(kept == kept_.end() ? 0 : kept->second, backup) == KeepOutcome::Kept;
}

bool VersionStore::MakeRoomFor(std::int64_t bytes) {
    return Usable() && pruning_.MakeRoomFor(bytes, runFolders_);
}

void VersionStore::PruneByAge() {
    if (Usable()) pruning_.ByAge(MomentOf(runStart_), keepDays_, runFolders_);
}

bool VersionStore::PruneOldest() {
    return Usable() && pruning_.RemoveOldest(runFolders_);
}

} // namespace kelvorin
