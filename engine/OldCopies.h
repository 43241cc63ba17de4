#pragma once
// What becomes of a copy that leaves the backup, replaced by a newer one or
// gone from the source: deleted, or moved into the store when versions are
// kept. The copy pass and the synchronisation never know which.
#include "engine/FileCopy.h"

#include <cstdint>
#include <string>

namespace kelvorin {

class StateRecord;

class OldCopies {
public:
    virtual ~OldCopies() = default;

    // Before the run's first copy, and after its last. `finished`: what the
    // backup holds now, when the run changed it and went through; else null.
    virtual void RunBegins() {}
    virtual void RunEnds([[maybe_unused]] StateRecord* finished) {}

    // The complete partial copy takes the backup's place; `replaces` when a
    // previous copy is there, which then leaves. Unless Copied, the previous
    // copy is where it was, and the partial copy too.
    virtual CopyOutcome PutInPlace(const std::u16string& partial, const std::u16string& backup,
                                   bool replaces) = 0;
    // A backup whose source has gone leaves the mirror; false when it stays.
    virtual bool Retire(const std::u16string& backup) = 0;
    // A copy of `bytes` failed for a full drive: true when room was made and
    // it may fit now.
    virtual bool MakeRoomFor(std::int64_t) { return false; }
};

} // namespace kelvorin
