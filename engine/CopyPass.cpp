// The source walk and the copy pass for one folder of the set.
#include "engine/BackupRun.h"

#include "engine/CopyRules.h"
#include "engine/HeldFiles.h"
#include "engine/Paths.h"
#include "engine/Texts.h"
#include "engine/TreeWalk.h"
#include "set/PathOrder.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace kelvorin {

namespace {

// A leftover of a broken run under the chosen name is simply reused; a name
// that a source file of the same folder bears is not, since its copy has it.
constexpr int kPartialCopyVariants = 10;

// A line put in the work list without a stamp asks the source for it.
static_assert(SortedList::kNoData == kNoStamp);

} // namespace

void BackupRun::ScanSourceTree(const std::u16string& folder) {
    // Nothing else runs during a walk, so the lines cannot change meanwhile.
    exclusions_ = host_.ExclusionLines();
    plainTree_ = true;
    WalkSourceFolder(folder);
}

void BackupRun::WalkSourceFolder(const std::u16string& folder) {
    SortedList& work = host_.WorkList();
    // A folder's names are all seen before the walk descends: the keys are
    // those of one folder at a time. Only their hashes are kept, and compared
    // once the folder is done; two keys that merely share a hash cost the
    // shortcuts of a plain tree, nothing else.
    std::vector<std::size_t> keyHashes;
    std::u16string key;
    const auto folderDone = [&] {
        std::sort(keyHashes.begin(), keyHashes.end());
        if (std::adjacent_find(keyHashes.begin(), keyHashes.end()) != keyHashes.end())
            plainTree_ = false;
        keyHashes.clear();
    };
    WalkTree(fs_, folder,
             {.keepGoing = [this] { return KeepGoing(); },
              .enterFolder =
                  [&](const std::u16string& entered) {
                      folderDone();
                      ReportProgress(RunStep::EnteringFolder, entered);
                  },
              .seeEntry =
                  [&](const FolderEntry& entry) {
                      if (!plainTree_) return;
                      CaseBlindKey(entry.name, key);
                      if (MayBePartialCopyKey(key))
                          plainTree_ = false;
                      else
                          keyHashes.push_back(std::hash<std::u16string>{}(key));
                  },
              .visitFile =
                  [&](std::u16string path, const FolderEntry& entry) {
                      // Each line carries the stamp the listing gave, or kNoStamp.
                      if (!IsExcluded(entry.name, exclusions_))
                          work.Add(std::move(path), entry.stamp);
                  }});
    folderDone();
}

void BackupRun::CopyNewerFiles() {
    SortedList& work = host_.WorkList();
    const std::size_t count = work.Count();
    std::u16string madeFolder;
    // Whether this pass made a backup folder. In a plain tree nothing but the
    // pass's own copies can be in such a folder, so a backup there, but for
    // the folder's first, is missing without a look-up, which for a missing
    // name makes Wine scan the folder for case variants.
    std::unordered_map<std::u16string, bool> madeByThisPass;
    std::u16string lastFolder;
    bool lastFolderIsNew = false;
    // Reused from file to file, as a path's memory costs more than its look-up.
    std::u16string source, backup, previous;
    for (std::size_t i = 0; i < count; ++i) {
        // Checking a large tree that has not changed takes long too.
        if (!KeepGoing()) continue;
        source.swap(previous);
        source = work.At(i);
        ++counts_.filesChecked;
        if (DriveOf(source) == flags_.targetDrive) {
            host_.ShowRefusal(source + kRefusalTail);
            continue;
        }
        if (IsCaseTwin(source, previous)) {
            AddLogLine(LogKind::NotCopied, source);
            flags_.copyFailed = true;
            ReportProgress(RunStep::CopyFailed, source);
            continue;
        }
        WithDrive(source, flags_.targetDrive.Letter(), backup);
        // Files of one folder follow each other in the list, but for those of
        // its subfolders: its chain is made once, not once per file.
        const std::u16string_view folder =
            std::u16string_view(backup).substr(0, backup.rfind(u'\\') + 1);
        std::optional<DosStamp> backupStamp;
        bool lookedUp = false;
        if (plainTree_) {
            if (folder != lastFolder) {
                lastFolder = folder;
                auto [known, added] = madeByThisPass.try_emplace(lastFolder, false);
                // The folder's first copy, when found, shows the folder there:
                // the folder itself is asked for only when the copy is missing.
                if (added) {
                    backupStamp = fs_.ExistingFileStamp(backup);
                    lookedUp = true;
                    if (!backupStamp && !fs_.IsExistingFolder(folder.substr(0, folder.size() - 1)))
                        known->second = fs_.MakeFolderChain(folder);
                }
                lastFolderIsNew = known->second;
            }
            if (lastFolderIsNew) {
                CopyMissingFile(source, backup);
                continue;
            }
        }
        if (!lookedUp) backupStamp = fs_.ExistingFileStamp(backup);
        if (backupStamp) {
            // The walk's listing told the source's stamp: one look-up per file.
            const DosStamp listed = work.DataAt(i);
            const DosStamp stamp = listed != kNoStamp ? listed : fs_.GetFileStamp(source);
            if (IsCopyOutdated(stamp, *backupStamp)) CopyOneFile(source, backup);
        } else {
            if (folder != madeFolder) {
                fs_.MakeFolderChain(folder);
                madeFolder = folder;
            }
            CopyMissingFile(source, backup);
        }
    }
}

void BackupRun::CopyOneFile(const std::u16string& source, const std::u16string& backup) {
    CopyAndReport(source, backup, CopyState::MayExist);
}

void BackupRun::CopyMissingFile(const std::u16string& source, const std::u16string& backup) {
    CopyAndReport(source, backup, CopyState::Missing);
}

void BackupRun::CopyAndReport(const std::u16string& source, const std::u16string& backup,
                              CopyState state) {
    if (!flags_.cancelled) {
        ReportProgress(RunStep::Copying, source);
        std::int64_t size = -1;
        CopyOutcome outcome = CopyThroughPartialFile(source, backup, state, size);
        // Older versions make room only when that lets the file fit.
        if (outcome == CopyOutcome::DriveFull && versions_ && size >= 0 &&
            versions_->MakeRoomFor(size))
            outcome = CopyThroughPartialFile(source, backup, state, size);
        switch (outcome) {
        case CopyOutcome::Copied:
            ++counts_.filesCopied;
            break;
        case CopyOutcome::Failed:
        case CopyOutcome::DriveFull:
            AddLogLine(LogKind::NotCopied, source);
            flags_.copyFailed = true;
            ReportProgress(RunStep::CopyFailed, source);
            break;
        case CopyOutcome::Cancelled:
            break;
        }
    }
    host_.PumpMessages();
}

bool BackupRun::IsCaseTwin(const std::u16string& source, const std::u16string& previous) {
    // The work list sorts case-blind, so a twin follows its first.
    if (!SameFolded(source, previous) || source == previous) return false;
    twinFolders_.insert(FoldedPath(std::u16string_view(source).substr(0, source.rfind(u'\\'))));
    return true;
}

bool BackupRun::HasCaseTwinOf(const std::u16string& source) {
    const std::size_t slash = source.rfind(u'\\');
    if (!twinFolders_.contains(FoldedPath(std::u16string_view(source).substr(0, slash))))
        return false;
    const std::u16string_view name = std::u16string_view(source).substr(slash + 1);
    bool found = false;
    fs_.ListFolder(source.substr(0, slash) + u"\\*.*", [&](const FolderEntry& e) {
        found = found || (!(e.attributes & kAttrDirectory) && SameFolded(e.name, name));
    });
    return found;
}

FileServices::Handle BackupRun::OpenPartialCopy(const std::u16string& source,
                                                const std::u16string& backup,
                                                std::u16string& partial, CopyOutcome& failure) {
    for (int variant = 0; variant < kPartialCopyVariants; ++variant) {
        std::u16string candidate = PartialCopyPath(backup, variant);
        // In a plain tree no source file bears a partial copy's name: the walk saw them all.
        if (!plainTree_ && fs_.Probe(WithDrive(candidate, source[0])) != PathState::Missing)
            continue;
        if (const FileServices::Handle out = CreatePartialCopy(candidate);
            out != FileServices::kInvalidHandle) {
            partial = std::move(candidate);
            return out;
        }
        // A leftover that another program holds open: the next name.
        const std::uint32_t error = fs_.LastError();
        if (!MayBeHeldForAMoment(error)) {
            failure = IsDriveFull(error) ? CopyOutcome::DriveFull : CopyOutcome::Failed;
            return FileServices::kInvalidHandle;
        }
    }
    failure = CopyOutcome::Failed;
    return FileServices::kInvalidHandle;
}

FileServices::Handle BackupRun::CreatePartialCopy(const std::u16string& partial) {
    FileServices::Handle out = fs_.CreateForWriting(partial, Sharing::Exclusive);
    if (out == FileServices::kInvalidHandle && fs_.LastError() == kErrorPathNotFound) {
        // The backup's folder went, or could not be made before the copy.
        if (fs_.MakeFolderChain(partial.substr(0, partial.rfind(u'\\'))))
            out = fs_.CreateForWriting(partial, Sharing::Exclusive);
    }
    return out;
}

BackupRun::CopyOutcome BackupRun::CopyThroughPartialFile(const std::u16string& source,
                                                         const std::u16string& backup,
                                                         CopyState state, std::int64_t& size) {
    OpenFile in(fs_, fs_.OpenForReading(source, Sharing::Exclusive));
    if (!in.IsValid()) return CopyOutcome::Failed;
    size = fs_.HandleSize(in.Get());
    // Writing 4 GiB to a stick before the file system refuses takes minutes.
    if (TooLargeForTarget(size)) return CopyOutcome::Failed;

    // A read-only copy is not replaced. (A folder of the copy's name makes
    // the final replace fail.)
    bool replaces = false;
    if (state == CopyState::MayExist) {
        const PathInfo copy = fs_.LookUp(backup);
        if (copy.IsReadOnlyFile() || copy.state == PathState::Folder) return CopyOutcome::Failed;
        replaces = copy.state != PathState::Missing;
    }

    CopyOutcome outcome = CopyOutcome::Copied;
    std::u16string partial;
    OpenFile out(fs_, OpenPartialCopy(source, backup, partial, outcome));
    if (!out.IsValid()) return outcome;
    // A drive too full for the file fails here, not after gigabytes. A file
    // system that cannot claim room ahead is simply written.
    if (size > 0) {
        if (const std::uint32_t claim = fs_.ClaimSize(out.Get(), size); IsDriveFull(claim))
            outcome = CopyOutcome::DriveFull;
    }

    unsigned char buffer[0x10000];
    std::uint64_t bytes = 0;
    while (outcome == CopyOutcome::Copied) {
        const std::int64_t n = fs_.ReadChunk(in.Get(), buffer, sizeof buffer);
        // A failed read is no end of file: the copy would pass for current.
        if (n < 0) outcome = CopyOutcome::Failed;
        if (n <= 0) break;
        if (const std::int64_t written = fs_.WriteChunk(out.Get(), buffer, n); written != n) {
            // A full drive may first take part of a chunk, then fail.
            const std::uint32_t error = written < 0 ? fs_.LastError() : 0;
            outcome =
                written >= 0 || IsDriveFull(error) ? CopyOutcome::DriveFull : CopyOutcome::Failed;
            break;
        }
        bytes += static_cast<std::uint64_t>(n);
        // A large file on a slow stick takes minutes: a close request ends it.
        if (!KeepGoing()) outcome = CopyOutcome::Cancelled;
    }
    // A source without a readable stamp leaves the time of writing.
    const DosStamp stamp = outcome == CopyOutcome::Copied ? fs_.GetHandleStamp(in.Get()) : kNoStamp;
    if (stamp != kNoStamp && fs_.SetHandleStamp(out.Get(), stamp, in.Get()) != 0)
        outcome = CopyOutcome::Failed;
    // On the drive before it counts: a copy renamed into place while still in
    // a cache, then lost to a pulled stick, would carry the source's stamp
    // and never be copied again.
    if (outcome == CopyOutcome::Copied && !fs_.FlushToDrive(out.Get()))
        outcome = IsDriveFull(fs_.LastError()) ? CopyOutcome::DriveFull : CopyOutcome::Failed;
    out.Close();
    in.Close();
    // Drivers have been seen to ignore a new write time and report success: a
    // copy with the time of writing would pass for current after any change.
    if (stamp != kNoStamp && outcome == CopyOutcome::Copied &&
        !IsSameStamp(stamp, fs_.GetFileStamp(partial)))
        outcome = CopyOutcome::Failed;
    if (outcome == CopyOutcome::Copied) outcome = PutInPlace(partial, backup, replaces);
    // Some drivers give the file the time of the rename; it is set once more.
    if (stamp != kNoStamp && outcome == CopyOutcome::Copied &&
        !IsSameStamp(stamp, fs_.GetFileStamp(backup)) &&
        (fs_.SetFileStamp(backup, stamp) != 0 || !IsSameStamp(stamp, fs_.GetFileStamp(backup))))
        return CopyOutcome::Failed;
    if (outcome != CopyOutcome::Copied) {
        RetryWhileHeld([&] { return fs_.DeleteOneFile(partial); });
        return outcome;
    }
    counts_.bytesCopied += bytes;
    return outcome;
}

bool BackupRun::TooLargeForTarget(std::int64_t size) {
    if (size <= kLargestFatFile) return false;
    if (!fatTarget_) fatTarget_ = IsFatFileSystem(fs_.FileSystemName(flags_.targetDrive));
    return *fatTarget_;
}

bool BackupRun::ReplaceInPlace(const std::u16string& partial, const std::u16string& backup) {
    if (fs_.MoveIntoPlace(partial, backup)) return true;
    const std::uint32_t error = fs_.LastError();
    // A folder or a read-only file in the copy's place fails with the same
    // error as a copy held for a moment, but waiting will not change it.
    const PathInfo copy = fs_.LookUp(backup);
    if (copy.state == PathState::Folder || copy.IsReadOnlyFile() || !MayBeHeldForAMoment(error))
        return false;
    return RetryWhileHeld([&] { return fs_.MoveIntoPlace(partial, backup); });
}

BackupRun::CopyOutcome BackupRun::PutInPlace(const std::u16string& partial,
                                             const std::u16string& backup, bool replaces) {
    if (!versions_)
        return ReplaceInPlace(partial, backup) ? CopyOutcome::Copied : CopyOutcome::Failed;
    // At every moment the previous copy or the new one is in place or in the
    // store: a kill between the two renames loses nothing. A move aside never
    // replaces, so a copy that was there unseen is not lost either. (A folder
    // or a read-only copy was refused before the copy began.)
    if (replaces) {
        switch (versions_->Keep(backup)) {
        case KeepOutcome::Kept:
            break;
        case KeepOutcome::KeptBefore:
            return ReplaceInPlace(partial, backup) ? CopyOutcome::Copied : CopyOutcome::Failed;
        case KeepOutcome::Failed:
            return CopyOutcome::Failed;
        case KeepOutcome::DriveFull:
            return CopyOutcome::DriveFull;
        }
    }
    if (RetryWhileHeld([&] { return fs_.MoveAside(partial, backup); })) return CopyOutcome::Copied;
    // The previous copy is safe in the store, but no longer in the mirror.
    if (replaces && !versions_->PutBack(backup))
        AddLogLine(LogKind::OnlyInStore, versions_->PathInStore(backup));
    return CopyOutcome::Failed;
}

bool BackupRun::RetryWhileHeld(const std::function<bool()>& step) {
    return kelvorin::RetryWhileHeld(fs_, step, [this] { host_.PumpMessages(); });
}

} // namespace kelvorin
