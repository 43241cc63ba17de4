#pragma once
// Reads a backup back: every copy that a run would leave alone, since its
// stamp says it is current, is compared byte for byte with its source. A copy
// that rotted on the stick keeps its stamp, so no run would ever notice it.
// The check changes nothing.
#include "engine/FileComparison.h"
#include "engine/FileServices.h"
#include "engine/RunFlags.h"
#include "set/BackupSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorin {

struct CheckCounts {
    std::uint64_t filesCompared = 0;
    std::uint64_t bytesRead = 0; // from both trees
    std::uint64_t problems = 0;
    std::uint64_t notCurrent = 0; // files a run would copy: only counted
    std::uint64_t sourceBytesToCompare = 0, sourceBytesCompared = 0;
    // Of the copies a run would leave alone; checked: compared, or not for
    // an unreadable source.
    std::uint64_t filesToCompare = 0, filesChecked = 0;
    bool backupDamaged = false;    // a copy differs or cannot be read
    bool sourceUnreadable = false; // so its copy could not be checked
};

class CheckHost {
public:
    virtual ~CheckHost() = default;
    // One line per problem, and per folder of the set that is not there.
    virtual void Report(const std::u16string& line) = 0;
    // Often while comparing; the host decides how often it shows anything.
    virtual void Progress(const std::u16string& file, const CheckCounts& counts) = 0;
};

// A damaged copy and its source: what a repair copies again.
struct DamagedCopy {
    std::u16string source, backup;
    std::uint64_t size; // the source's, as listed
};

class BackupCheck {
public:
    // The target drive is taken from the set; Cancelled ends the check.
    BackupCheck(CheckHost& host, FileServices& files, const BackupSet& set, RunFlags& flags)
        : host_(host), files_(files), set_(set), flags_(flags) {}

    void Run();
    const CheckCounts& Counts() const { return counts_; }
    const std::vector<DamagedCopy>& Damaged() const { return damaged_; }

private:
    struct Pair {
        std::u16string source, backup;
        std::uint64_t size;
        DosStamp stamp; // as the walk listed it; kNoStamp: looked up
    };
    // The copies that a run would leave alone, folder by folder in a run's order.
    std::vector<Pair> CollectCurrentCopies();
    void CollectCurrentCopies(const std::u16string& folder, std::vector<Pair>& pairs);
    // Reads both, reports a difference and counts.
    void Compare(FileComparer& comparer, const Pair& p);

    CheckHost& host_;
    FileServices& files_;
    const BackupSet& set_;
    RunFlags& flags_;
    DriveLetter drive_;
    CheckCounts counts_;
    std::vector<DamagedCopy> damaged_;
};

} // namespace kelvorin
