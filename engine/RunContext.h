#pragma once
// What the parts of one run share: where it reports, what it works on, and
// what it has found so far.
#include "engine/CaseTwins.h"
#include "engine/FileServices.h"
#include "engine/ListedSources.h"
#include "engine/RunEvents.h"
#include "engine/RunFlags.h"
#include "engine/RunHost.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvorin {

class RunContext {
public:
    RunContext(RunHost& host, FileServices& files, RunFlags& flags, DriveLetter target);

    RunHost& host;
    FileServices& files;
    const DriveLetter target;
    // Read once at the start: every pass works on the folders as they were then.
    const std::vector<std::u16string> setFolders;

    RunCounts counts;
    RunResults results;
    std::vector<std::u16string> log; // the lines of the log file
    CaseTwins caseTwins;             // found by the copy pass, respected by "Synchron"
    ListedSources listedSources;     // by the copy pass, for "Synchron"
    // Whether the run has copied, replaced or removed anything of the backup.
    bool ChangedBackup() const {
        return counts.filesCopied + counts.filesDeleted + counts.foldersRemoved > 0;
    }

    bool Cancelled() const { return flags_.cancelled; }
    // Gives the host a turn in a long step, in which a close request may come;
    // false once the run is cancelled, before or during the turn: from then
    // on nothing more is done.
    bool TakeTurnAndGoOn();
    // Each set folder in turn, with its place in the set, selected, with the
    // work list cleared; a cancelled run skips every folder that is left.
    void ForEachSetFolder(const std::function<void(std::size_t, const std::u16string&)>& work);

    // Adds a line to the run log and tells the host.
    void AddLogLine(LogKind kind, std::u16string subject);
    void ReportProgress(RunStep step, std::u16string_view path);
    // A copy's progress: it begins, it has written so many bytes, it is
    // through, copied or not, with the source's size (-1: unknown).
    void ReportCopying(const std::u16string& source);
    void ReportWritten(std::uint64_t bytes);
    void ReportCopyDone(std::int64_t size);
    void ReportNotCopied(const std::u16string& source);
    void ReportNotDeleted(const std::u16string& path);
    // Tries a final rename or removal again while its file is held for a
    // moment, the host's messages handled between the tries.
    bool RetryWhileHeld(const std::function<bool()>& step);

private:
    RunFlags& flags_;
    std::u16string copying_; // the file in work
    std::uint64_t checkedBeforeCopy_ = 0;
};

} // namespace kelvorin
