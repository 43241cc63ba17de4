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
};

class BackupRun {
public:
    BackupRun(RunHost& host, RunPlatform platform, RunFlags& flags, std::u16string dataDir)
        : host_(host), fs_(platform.files), codePage_(platform.codePage), clock_(platform.clock),
          flags_(flags), dataDir_(std::move(dataDir)) {}

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
    // The steps around a run's work: the drive's lock, busy, the old copies,
    // the status and the log file.
    bool RunSteps(const std::function<void(RunContext&, OldCopies&)>& work);
    // The store when the run keeps versions for some days, else plain removal.
    std::unique_ptr<OldCopies> MakeOldCopies(RunContext& run, int days);
    void WriteLogFile(const std::vector<std::u16string>& log);

    RunHost& host_;
    FileServices& fs_;
    CodePage& codePage_;
    LocalClock& clock_;
    RunFlags& flags_;
    std::u16string dataDir_;
    RunCounts counts_;
    RunResults results_;
};

} // namespace kelvorin
