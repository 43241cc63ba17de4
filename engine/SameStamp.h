#pragma once
// When two stamps count as one. Each question that compares a copy's stamp
// with another asks here, by its own name: the answers differ on purpose.
#include "engine/FileServices.h"

#include <cstdint>

namespace kelvorin {

// The copy rule: a copy is renewed when the source is later by at least one
// step (2 s), but not by exactly one hour on the same day, which is what a
// change between summer and winter time makes of an unchanged file on FAT.
bool IsCopyOutdated(DosStamp source, DosStamp copy);

// The check compares a copy with its source only where a run would leave the
// copy alone.
inline bool CheckTakesAsCurrent(DosStamp source, DosStamp copy) {
    return !IsCopyOutdated(source, copy);
}

// A stamp read back after the copy set it: within one step (2 s), as FAT
// keeps even seconds only.
bool ReadsBackAsSet(DosStamp set, DosStamp readBack);

// A copy as a run's listing recorded it.
struct ListedCopy {
    std::uint64_t size;
    FileTime time;  // its UTC write time; kNoFileTime in listings of the first format
    DosStamp local; // its local stamp at the run
};

// The restore: a copy found now is the one listed when its size is, and its
// moment (NTFS and exFAT keep UTC) or its local time at the run (FAT keeps
// local time, which Windows reads through today's offset). A listing of the
// first format knows the local stamp only.
bool IsListedCopy(const FileFacts& found, const ListedCopy& listed);

} // namespace kelvorin
