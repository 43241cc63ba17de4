#include "engine/CopyPass.h"

#include "engine/CopyRules.h"
#include "engine/ListingFormat.h"
#include "engine/Paths.h"
#include "engine/SameStamp.h"
#include "engine/SetFolder.h"
#include "engine/TreeWalk.h"

#include <algorithm>

namespace kelvorin {

// A line put in the work list without a stamp asks the source for it.
static_assert(SortedList::kNoData == kNoStamp);

void CopyPass::Run() {
    std::vector<WalkedFolder> walked = WalkSetFolders();
    // A cancelled walk leaves partial lists, and nothing more is done.
    if (run_.Cancelled()) return;
    run_.ReportProgress(RunStep::CopiesBegin, {});
    run_.ForEachSetFolder([&](std::size_t i, const std::u16string& entry) {
        WalkedFolder& folder = walked[i];
        if (!folder.present) {
            run_.AddLogLine(LogKind::NotFound, entry);
            return;
        }
        // A cancelled run writes no listing; any other pass is covered, and
        // what its walk could not list is named in it.
        recording_ = listing_ && listing_->Cover(entry);
        deeper_.clear();
        for (const std::u16string& other : run_.setFolders)
            if (recording_ && LiesBelow(other, entry)) deeper_.push_back(other);
        for (const std::u16string& unread : folder.unreadable)
            if (recording_ && !ListedByDeeperFolder(unread)) listing_->Gap(unread);
        std::swap(run_.host.WorkList(), folder.files);
        folder.files = SortedList(); // the cleared list's room
        run_.host.ShowWorkList();
        plain_ = folder.plain;
        CopyNewerFiles();
        // Files that were refused or changed since the walk are through too.
        if (!run_.Cancelled()) run_.counts.bytesChecked = folder.bytesThrough;
    });
}

std::vector<CopyPass::WalkedFolder> CopyPass::WalkSetFolders() {
    std::vector<WalkedFolder> walked(run_.setFolders.size());
    run_.ForEachSetFolder([&](std::size_t i, const std::u16string& entry) {
        WalkedFolder& folder = walked[i];
        folder.present = IsSetFolderPresent(run_.files, entry);
        if (!folder.present) return;
        ScanSourceTree(entry, folder);
        folder.bytesThrough = run_.counts.bytesToCheck;
    });
    return walked;
}

bool CopyPass::ListedByDeeperFolder(std::u16string_view path) const {
    return std::any_of(deeper_.begin(), deeper_.end(),
                       [&](const std::u16string& folder) { return LiesIn(path, folder); });
}

void CopyPass::ScanSourceTree(const std::u16string& folder, WalkedFolder& walked) {
    // Nothing else runs during a walk, so the lines cannot change meanwhile.
    exclusions_ = run_.host.ExclusionLines();
    plainTree_.BeginWalk();
    SortedList& work = walked.files;
    // A folder's names are all seen before the walk descends into any.
    WalkTree(run_.files, folder,
             {.keepGoing = [this] { return run_.TakeTurnAndGoOn(); },
              .enterFolder =
                  [this](const std::u16string& entered) {
                      plainTree_.FolderDone();
                      run_.ReportProgress(RunStep::EnteringFolder, entered);
                  },
              .seeEntry = [this](const FolderEntry& entry) { plainTree_.SeeName(entry.name); },
              .visitFile =
                  [&](std::u16string path, const FolderEntry& entry) {
                      // Each line carries the stamp the listing gave, or kNoStamp.
                      if (IsExcluded(entry.name, exclusions_)) return;
                      work.Add(std::move(path), entry.stamp);
                      ++run_.counts.filesToCheck;
                      run_.counts.bytesToCheck += entry.size;
                  },
              .unreadable =
                  [&](const std::u16string& unread) {
                      // Named in the listing when the folder's pass is recorded.
                      walked.unreadable.push_back(unread);
                  }});
    plainTree_.FolderDone();
    walked.plain = plainTree_.IsPlain();
}

void CopyPass::CopyNewerFiles() {
    SortedList& work = run_.host.WorkList();
    const std::size_t count = work.Count();
    BackupLookUp backups(run_.files, plain_);
    // Reused from file to file, as a path's memory costs more than its look-up.
    std::u16string source, backup, previous;
    for (std::size_t i = 0; i < count; ++i) {
        // Checking a large tree that has not changed takes long too.
        if (!run_.TakeTurnAndGoOn()) continue;
        source.swap(previous);
        source = work.At(i);
        ++run_.counts.filesChecked;
        run_.listedSources.Add(source);
        if (!MayCopy(source, previous)) continue;
        BackupPathOf(source, run_.target, backup);
        const std::optional<FileFacts> existing = backups.FindOrMakeFolder(backup);
        if (!existing) {
            Record(source, CopyAndReport(source, backup, CopyState::Missing));
            continue;
        }
        // The walk's listing told the source's stamp: one look-up per file.
        const DosStamp listed = work.DataAt(i);
        const DosStamp stamp = listed != kNoStamp ? listed : run_.files.GetFileStamp(source);
        if (!IsCopyOutdated(stamp, existing->stamp)) {
            run_.counts.bytesChecked += existing->size;
            run_.ReportProgress(RunStep::CopyIsCurrent, source);
            Record(source, existing);
            continue;
        }
        // A copy that failed left the previous one.
        const std::optional<FileFacts> copy = CopyAndReport(source, backup, CopyState::MayExist);
        Record(source, copy ? copy : existing);
    }
}

bool CopyPass::MayCopy(const std::u16string& source, const std::u16string& previous) {
    if (IsOnDrive(source, run_.target)) {
        run_.host.RefuseFileOnTarget(source);
        return false;
    }
    // Its copy would be the other's.
    if (run_.caseTwins.IsTwinOfPrevious(source, previous)) {
        run_.ReportNotCopied(source);
        return false;
    }
    return true;
}

void CopyPass::CopyAgain(const std::u16string& source, const std::u16string& backup) {
    CopyAndReport(source, backup, CopyState::MayExist);
}

void CopyPass::Record(const std::u16string& source, const std::optional<FileFacts>& copy) {
    if (recording_ && copy && (deeper_.empty() || !ListedByDeeperFolder(source)))
        listing_->Add(source, *copy);
}

std::optional<FileFacts> CopyPass::CopyAndReport(const std::u16string& source,
                                                 const std::u16string& backup, CopyState state) {
    std::optional<FileFacts> placed;
    if (!run_.Cancelled()) {
        run_.ReportCopying(source);
        std::int64_t size = -1;
        CopyOutcome outcome = safeCopy_.Copy(source, backup, state, plain_, size);
        if (outcome == CopyOutcome::DriveFull && size >= 0 && old_.MakeRoomFor(size))
            outcome = safeCopy_.Copy(source, backup, state, plain_, size);
        run_.ReportCopyDone(size);
        switch (outcome) {
        case CopyOutcome::Copied:
            ++run_.counts.filesCopied;
            placed = safeCopy_.Placed();
            break;
        case CopyOutcome::Failed:
        case CopyOutcome::DriveFull:
            run_.ReportNotCopied(source);
            break;
        case CopyOutcome::Cancelled:
            break;
        }
    }
    run_.host.PumpMessages();
    return placed;
}

} // namespace kelvorin
