#pragma once
// One file copied so that its previous copy stays as it was until the new one
// is complete and on the drive: the bytes go into a partial copy beside the
// backup, which the old copies then put in the backup's place.
#include "engine/FileCopy.h"
#include "engine/OldCopies.h"
#include "engine/RunContext.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin {

// What the copy pass already knows of the copy: looking again costs a
// directory scan per file on file systems that ignore case.
enum class CopyState { MayExist, Missing };

class SafeCopy {
public:
    SafeCopy(RunContext& run, OldCopies& oldCopies)
        : run_(run), old_(oldCopies), copier_(run.files) {}

    // plainTree: no source file bears a partial copy's name. Tells the
    // source's size, -1 before it is known.
    CopyOutcome Copy(const std::u16string& source, const std::u16string& backup, CopyState state,
                     bool plainTree, std::int64_t& size);
    // The copy that the last Copy put in place, as read back from it.
    const std::optional<FileFacts>& Placed() const { return placed_; }

private:
    // A file too large for the target's file system is refused before a byte
    // is written; the name is asked once per run, when such a file comes.
    bool TooLargeForTarget(std::int64_t size);
    // A read-only copy is not replaced, nor a folder of the copy's name (it
    // makes the final replace fail). Tells whether a previous copy is there.
    bool MayTakePlaceOf(const std::u16string& backup, bool& replaces);
    // The first partial copy's name that is free and can be written.
    FileServices::Handle OpenPartialCopy(const std::u16string& source, const std::u16string& backup,
                                         bool plainTree, std::u16string& partial,
                                         CopyOutcome& failure);
    // The partial copy, made empty; its folder is made when missing.
    FileServices::Handle CreatePartialCopy(const std::u16string& partial);
    // Every byte of the source into the partial copy; tells how many.
    CopyOutcome WriteBytes(const OpenFile& in, const OpenFile& out, std::int64_t size,
                           std::uint64_t& bytes);
    // The source's stamp on the partial copy, and the copy on the drive.
    CopyOutcome Seal(const OpenFile& in, const OpenFile& out, DosStamp stamp);
    // The sealed partial copy in the backup's place, with the source's stamp.
    CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                           bool replaces, DosStamp stamp);

    RunContext& run_;
    OldCopies& old_;
    std::optional<bool> fatTarget_;
    std::optional<FileFacts> placed_;
    FileCopier copier_;
};

} // namespace kelvorin
