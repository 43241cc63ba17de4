#pragma once
// The backup run: the steps around its work, which is the copy pass over every
// folder of the set, then, with "Synchron", the synchronisation.
#include "engine/BackupCheck.h"
#include "engine/FileServices.h"
#include "engine/LocalClock.h"
#include "engine/OldCopies.h"
#include "engine/RunContext.h"
#include "engine/RunFlags.h"
#include "engine/RunHost.h"
#include "set/CodePage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvorin {

struct RunPlatform {
    FileServices& files;
    CodePage& codePage;
    LocalClock& clock;
    // Where a long listing waits until the run ends: the user's local
    // application data, never a folder that a set may hold. Empty keeps it
    // in memory.
    std::u16string spoolFolder = {};
};

// A run's work on the target: the context its parts share, what becomes of
// a copy that goes, and the listing it records while versions are kept.
using RunWork = std::function<void(RunContext&, OldCopies&, StateRecord* listing)>;

class BackupRun {
public:
    BackupRun(RunHost& host, RunPlatform platform, RunFlags& flags, std::u16string dataDir)
        : host_(host), fs_(platform.files), codePage_(platform.codePage), clock_(platform.clock),
          spoolFolder_(std::move(platform.spoolFolder)), flags_(flags),
          dataDir_(std::move(dataDir)) {}

    // The whole run. Returns false when it was refused (no target drive).
    bool Run();
    // A run that copies only the given files again, through the same
    // fail-safe copy, with its log: for copies a check found damaged.
    bool Repair(const std::vector<DamagedCopy>& copies);

    // Of the last run.
    const RunCounts& Counts() const { return counts_; }
    const RunResults& Results() const { return results_; }
    std::u16string LogFilePath() const { return dataDir_ + u"Kelvorin.log"; }

private:
    // The steps around a run's work: busy, the drive's lock, the old copies,
    // then the status and the log file, which lie off the stick.
    bool RunSteps(const RunWork& work);
    // The store when the run keeps versions for some days, else plain removal.
    std::unique_ptr<OldCopies> MakeOldCopies(RunContext& run, int days);
    // What happens on the stick, under its lock; the lock goes when it returns.
    void WorkOnTarget(RunContext& run, const RunWork& work);
    // One per target drive: two runs on different sticks never share it.
    std::u16string SpoolPath(DriveLetter target) const;
    void WriteLogFile(const std::vector<std::u16string>& log);

    RunHost& host_;
    FileServices& fs_;
    CodePage& codePage_;
    LocalClock& clock_;
    std::u16string spoolFolder_;
    RunFlags& flags_;
    std::u16string dataDir_;
    RunCounts counts_;
    RunResults results_;
};

} // namespace kelvorin
