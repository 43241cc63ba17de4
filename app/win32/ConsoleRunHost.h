#pragma once
// The backup run's window, as the console program has it: the set in memory,
// log lines to stdout, refusals and progress to stderr, nothing waits.
#include "app/win32/ConsoleProgress.h"
#include "app/win32/ConsoleStream.h"
#include "engine/BackupRun.h"
#include "engine/PreviewFileServices.h"
#include "engine/RunHost.h"
#include "set/BackupSet.h"

#include <cstdint>

namespace kelvorin {

class ConsoleRunHost : public RunHost {
public:
    enum class Mode { Run, Preview };
    ConsoleRunHost(const BackupSet& set, ConsoleStream& out, ConsoleStream& err, Mode mode)
        : set_(set), out_(out), err_(err), mode_(mode) {}

    bool LogWriteFailed() const { return logWriteFailed_; }

    std::size_t FolderCount() override { return set_.folders.Count(); }
    std::u16string Folder(std::size_t i) override { return set_.folders.At(i); }
    std::vector<std::u16string> ExclusionLines() override { return set_.exclusions; }
    DriveLetter TargetDrive() override { return set_.Drive(); }
    bool SynchronTicked() override { return set_.synchron; }
    int VersionDays() override { return VersionDaysOf(set_.versionDays, mode_ == Mode::Preview); }
    SortedList& WorkList() override { return workList_; }

    void Logged(const RunLogLine& line) override;
    void Progressed(const RunProgress& progress) override;
    void LogFileFailed(const std::u16string& error) override;
    void Ended(RunStatus, const std::vector<std::u16string>&) override { workList_.Clear(); }
    void RefuseFileOnTarget(const std::u16string& source) override;
    void RunFolderRemovedForRoom(const std::u16string& folder) override;
    // Ctrl+C sets Cancelled from its own thread: the console has no turns to take.
    void EndBusy() override { progress_.Clear(); }
    // One line, so that a scheduled run that seems to hang says why.
    void WaitingForOtherRun() override;

private:
    const BackupSet& set_;
    ConsoleStream& out_;
    ConsoleStream& err_;
    Mode mode_;
    SortedList workList_;
    ConsoleProgress progress_{err_};
    bool synchronising_ = false;
    bool logWriteFailed_ = false;
};

} // namespace kelvorin
