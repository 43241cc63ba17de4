#include "engine/PlainRemoval.h"

#include "engine/HeldFiles.h"

namespace kelvorin {

CopyOutcome PlainRemoval::PutInPlace(const std::u16string& partial, const std::u16string& backup,
                                     bool) {
    if (files_.MoveIntoPlace(partial, backup)) return CopyOutcome::Copied;
    const FileFault fault = files_.LastFault();
    // A folder or a read-only file in the copy's place fails with the same
    // error as a copy held for a moment, but waiting will not change it.
    const PathInfo copy = files_.LookUp(backup);
    if (copy.state == PathState::Folder || copy.IsReadOnlyFile() || !MayBeHeldForAMoment(fault))
        return CopyOutcome::Failed;
    return RetryWhileHeld(
               files_, [&] { return files_.MoveIntoPlace(partial, backup); }, turn_)
               ? CopyOutcome::Copied
               : CopyOutcome::Failed;
}

bool PlainRemoval::Retire(const std::u16string& backup) {
    return RetryWhileHeld(
        files_, [&] { return files_.DeleteOneFile(backup); }, turn_);
}

} // namespace kelvorin
