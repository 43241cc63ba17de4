#include "engine/BackupCheck.h"

#include "engine/CopyRules.h"
#include "engine/FileComparison.h"
#include "engine/Paths.h"
#include "engine/SameStamp.h"
#include "engine/SetFolder.h"
#include "engine/Texts.h"
#include "engine/TreeWalk.h"
#include "set/PathOrder.h"

#include <algorithm>

namespace kelvorin {

void BackupCheck::CollectCurrentCopies(const std::u16string& folder, std::vector<Pair>& pairs) {
    std::vector<Pair> found;
    WalkTree(files_, folder,
             {.keepGoing = [this] { return !flags_.cancelled; },
              .enterFolder = {},
              .seeEntry = {},
              .visitFile =
                  [&](std::u16string path, const FolderEntry& entry) {
                      if (!IsExcluded(entry.name, set_.exclusions))
                          found.push_back({std::move(path), {}, entry.size, entry.stamp});
                  },
              .unreadable = {}});
    std::sort(found.begin(), found.end(),
              [](const Pair& a, const Pair& b) { return ComparePaths(a.source, b.source) < 0; });
    for (Pair& p : found) {
        if (flags_.cancelled) return;
        p.backup = BackupPathOf(p.source, drive_);
        const auto backup = files_.ExistingFile(p.backup);
        const DosStamp stamp = p.stamp != kNoStamp ? p.stamp : files_.GetFileStamp(p.source);
        if (!backup || !CheckTakesAsCurrent(stamp, backup->stamp)) {
            ++counts_.notCurrent;
            continue;
        }
        ++counts_.filesToCompare;
        counts_.sourceBytesToCompare += p.size;
        pairs.push_back(std::move(p));
    }
}

void BackupCheck::Run() {
    drive_ = set_.Drive();
    if (drive_.IsNone()) return;
    counts_ = {};
    damaged_.clear();
    // Every folder is walked first, so that progress can tell the whole.
    FileComparer comparer(files_);
    for (const Pair& p : CollectCurrentCopies()) {
        if (flags_.cancelled) break;
        Compare(comparer, p);
    }
}

std::vector<BackupCheck::Pair> BackupCheck::CollectCurrentCopies() {
    std::vector<Pair> pairs;
    for (const std::u16string& folder : set_.folders.Items()) {
        if (flags_.cancelled) break;
        if (!IsSetFolderPresent(files_, folder)) {
            host_.Report(kNotFoundLine + folder);
            continue;
        }
        // A run backs up nothing of the target drive itself.
        if (IsOnDrive(folder, drive_)) continue;
        CollectCurrentCopies(folder, pairs);
    }
    return pairs;
}

void BackupCheck::Compare(FileComparer& comparer, const Pair& p) {
    const std::uint64_t before = counts_.sourceBytesCompared;
    host_.Progress(p.source, counts_);
    const Comparison result =
        comparer.Compare(p.source, p.backup, p.size, [&](std::uint64_t bytes) {
            counts_.sourceBytesCompared = before + bytes;
            counts_.bytesRead = comparer.BytesRead();
            host_.Progress(p.source, counts_);
            return !flags_.cancelled;
        });
    counts_.sourceBytesCompared = before + p.size;
    counts_.bytesRead = comparer.BytesRead();
    if (result != Comparison::Cancelled) ++counts_.filesChecked;
    switch (result) {
    case Comparison::Equal:
        ++counts_.filesCompared;
        break;
    case Comparison::Differs:
    case Comparison::BackupUnreadable:
        ++counts_.filesCompared;
        ++counts_.problems;
        counts_.backupDamaged = true;
        host_.Report((result == Comparison::Differs ? kDiffersLine : kBackupUnreadableLine) +
                     p.backup);
        damaged_.push_back({p.source, p.backup, p.size});
        break;
    case Comparison::SourceUnreadable:
        ++counts_.problems;
        counts_.sourceUnreadable = true;
        host_.Report(kSourceUnreadableLine + p.source);
        break;
    case Comparison::Cancelled:
        break;
    }
}

} // namespace kelvorin
