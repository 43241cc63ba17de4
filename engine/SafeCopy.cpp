#include "engine/SafeCopy.h"

#include "engine/CopyRules.h"
#include "engine/Paths.h"
#include "engine/SameStamp.h"

namespace kelvorin {
namespace {

// A leftover of a broken run under the chosen name is simply reused; a name
// that a source file of the same folder bears is not, since its copy has it.
constexpr int kPartialCopyVariants = 10;

} // namespace

CopyOutcome SafeCopy::Copy(const std::u16string& source, const std::u16string& backup,
                           CopyState state, bool plainTree, std::int64_t& size) {
    FileServices& fs = run_.files;
    OpenFile in(fs, fs.OpenForReading(source, Sharing::Exclusive));
    if (!in.IsValid()) return CopyOutcome::Failed;
    size = fs.HandleSize(in.Get());
    // Writing 4 GiB to a stick before the file system refuses takes minutes.
    if (TooLargeForTarget(size)) return CopyOutcome::Failed;
    bool replaces = false;
    if (state == CopyState::MayExist && !MayTakePlaceOf(backup, replaces))
        return CopyOutcome::Failed;

    CopyOutcome outcome = CopyOutcome::Copied;
    std::u16string partial;
    OpenFile out(fs, OpenPartialCopy(source, backup, plainTree, partial, outcome));
    if (!out.IsValid()) return outcome;
    std::uint64_t bytes = 0;
    outcome = WriteBytes(in, out, size, bytes);
    // A source without a readable stamp leaves the time of writing.
    const DosStamp stamp = outcome == CopyOutcome::Copied ? fs.GetHandleStamp(in.Get()) : kNoStamp;
    if (outcome == CopyOutcome::Copied) outcome = Seal(in, out, stamp);
    out.Close();
    in.Close();
    if (outcome == CopyOutcome::Copied) {
        outcome = PutInPlace(partial, backup, replaces, stamp);
        if (outcome == CopyOutcome::Copied) run_.counts.bytesCopied += bytes;
        return outcome;
    }
    run_.RetryWhileHeld([&] { return fs.DeleteOneFile(partial); });
    return outcome;
}

bool SafeCopy::TooLargeForTarget(std::int64_t size) {
    if (size <= kLargestFatFile) return false;
    if (!fatTarget_) fatTarget_ = IsFatFileSystem(run_.files.FileSystemName(run_.target));
    return *fatTarget_;
}

bool SafeCopy::MayTakePlaceOf(const std::u16string& backup, bool& replaces) {
    const PathInfo copy = run_.files.LookUp(backup);
    if (copy.IsReadOnlyFile() || copy.state == PathState::Folder) return false;
    replaces = copy.state != PathState::Missing;
    return true;
}

FileServices::Handle SafeCopy::OpenPartialCopy(const std::u16string& source,
                                               const std::u16string& backup, bool plainTree,
                                               std::u16string& partial, CopyOutcome& failure) {
    FileServices& fs = run_.files;
    for (int variant = 0; variant < kPartialCopyVariants; ++variant) {
        std::u16string candidate = PartialCopyPath(backup, variant);
        // In a plain tree no source file bears a partial copy's name: the walk saw them all.
        if (!plainTree && fs.StateOf(WithDrive(candidate, DriveOf(source))) != PathState::Missing)
            continue;
        if (const FileServices::Handle out = CreatePartialCopy(candidate);
            out != FileServices::kInvalidHandle) {
            partial = std::move(candidate);
            return out;
        }
        // A leftover that another program holds open: the next name.
        const FileFault fault = fs.LastFault();
        if (!MayBeHeldForAMoment(fault)) {
            failure = fault == FileFault::DriveFull ? CopyOutcome::DriveFull : CopyOutcome::Failed;
            return FileServices::kInvalidHandle;
        }
    }
    failure = CopyOutcome::Failed;
    return FileServices::kInvalidHandle;
}

FileServices::Handle SafeCopy::CreatePartialCopy(const std::u16string& partial) {
    FileServices& fs = run_.files;
    FileServices::Handle out = fs.CreateForWriting(partial, Sharing::Exclusive);
    if (out == FileServices::kInvalidHandle && fs.LastFault() == FileFault::Missing) {
        // The backup's folder went, or could not be made before the copy.
        if (fs.MakeFolderChain(partial.substr(0, partial.rfind(u'\\'))))
            out = fs.CreateForWriting(partial, Sharing::Exclusive);
    }
    return out;
}

CopyOutcome SafeCopy::WriteBytes(const OpenFile& in, const OpenFile& out, std::int64_t size,
                                 std::uint64_t& bytes) {
    // A drive too full for the file fails here, not after gigabytes. A file
    // system that cannot claim room ahead is simply written.
    if (size > 0 && run_.files.ClaimSize(out.Get(), size) == FileFault::DriveFull)
        return CopyOutcome::DriveFull;
    return copier_.Copy(in.Get(), out.Get(), bytes, [this](std::uint64_t written) {
        run_.ReportWritten(written);
        return run_.TakeTurnAndGoOn();
    });
}

CopyOutcome SafeCopy::Seal(const OpenFile& in, const OpenFile& out, DosStamp stamp) {
    FileServices& fs = run_.files;
    if (stamp != kNoStamp && !fs.SetHandleStamp(out.Get(), stamp, in.Get()))
        return CopyOutcome::Failed;
    // On the drive before it counts: a copy renamed into place while still in
    // a cache, then lost to a pulled stick, would carry the source's stamp
    // and never be copied again.
    if (!fs.FlushToDrive(out.Get()))
        return fs.LastFault() == FileFault::DriveFull ? CopyOutcome::DriveFull
                                                      : CopyOutcome::Failed;
    return CopyOutcome::Copied;
}

CopyOutcome SafeCopy::PutInPlace(const std::u16string& partial, const std::u16string& backup,
                                 bool replaces, DosStamp stamp) {
    FileServices& fs = run_.files;
    // Drivers have been seen to ignore a new write time and report success: a
    // copy with the time of writing would pass for current after any change.
    CopyOutcome outcome = CopyOutcome::Copied;
    if (stamp != kNoStamp && !ReadsBackAsSet(stamp, fs.GetFileStamp(partial)))
        outcome = CopyOutcome::Failed;
    if (outcome == CopyOutcome::Copied) outcome = old_.PutInPlace(partial, backup, replaces);
    if (outcome != CopyOutcome::Copied) {
        run_.RetryWhileHeld([&] { return fs.DeleteOneFile(partial); });
        return outcome;
    }
    // Some drivers give the file the time of the rename; it is set once more.
    // What is read back here is what the listing records of the copy.
    placed_ = fs.ExistingFile(backup);
    if (stamp != kNoStamp && !(placed_ && ReadsBackAsSet(stamp, placed_->stamp))) {
        if (!fs.SetFileStamp(backup, stamp)) return CopyOutcome::Failed;
        placed_ = fs.ExistingFile(backup);
        if (!placed_ || !ReadsBackAsSet(stamp, placed_->stamp)) return CopyOutcome::Failed;
    }
    return outcome;
}

} // namespace kelvorin
