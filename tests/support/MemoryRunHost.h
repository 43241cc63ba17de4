#pragma once
// A run host held in memory: the set, the lists and every call the engine
// makes, for tests to inspect.
#include "app/RunTexts.h"
#include "engine/RunHost.h"
#include "set/BackupSet.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin::testing {

class MemoryRunHost : public RunHost {
public:
    BackupSet set;
    SortedList workList;
    std::vector<std::u16string> runLog;
    // The problem lines of the last run, without its status and date lines.
    std::vector<std::u16string> Problems() const {
        return {runLog.begin(), runLog.end() - std::min<std::size_t>(2, runLog.size())};
    }
    std::u16string Status() const { return runLog.size() >= 2 ? runLog[runLog.size() - 2] : u""; }
    std::vector<std::u16string> fileList; // what the file list shows after a run
    struct Step {
        RunStep step;
        std::u16string path;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> progress;                 // every step reported, in order
    RunCounts atCopiesBegin;                    // the counts the walks left
    std::optional<RunStatus> ended;             // the status of the run that ended
    std::vector<std::u16string> refusals;       // plain messages shown
    std::vector<std::u16string> removedForRoom; // run folders of the store, in order
    std::vector<std::u16string> logErrors;      // why the log file was not written
    std::function<void()> onLogFileFailed;      // where the window shows its box
    std::vector<std::size_t> selections;        // folder positions selected, in order
    int pumps = 0, keepResponsiveCalls = 0, workListShows = 0;
    int busyBegins = 0, busyEnds = 0;
    int waitsForOtherRun = 0; // times the run said it waits for another
    bool busy = false;
    // Runs inside PumpMessages, as another handler would (a close request...).
    std::function<void()> onPump;
    // Runs inside KeepResponsive, as a close request during a long step would.
    std::function<void()> onKeepResponsive;
    std::function<void()> onShowWorkList;

    std::size_t FolderCount() override { return set.folders.Count(); }
    std::u16string Folder(std::size_t i) override { return set.folders.At(i); }
    void SelectFolder(std::size_t i) override { selections.push_back(i); }
    std::vector<std::u16string> ExclusionLines() override { return set.exclusions; }
    DriveLetter TargetDrive() override { return set.Drive(); }
    bool SynchronTicked() override { return set.synchron; }
    int VersionDays() override { return set.versionDays; }

    SortedList& WorkList() override { return workList; }

    void Logged(const RunLogLine& line) override { runLog.push_back(LogLineText(line)); }
    void Progressed(const RunProgress& p) override {
        progress.push_back({p.step, std::u16string(p.path)});
        if (p.step == RunStep::CopiesBegin) atCopiesBegin = p.counts;
    }
    void LogFileFailed(const std::u16string& error) override {
        logErrors.push_back(error);
        if (onLogFileFailed) onLogFileFailed();
    }
    void Ended(RunStatus status, const std::vector<std::u16string>& lines) override {
        ended = status;
        workList.Clear();
        for (const auto& l : lines)
            workList.Add(l);
        fileList = workList.Items();
    }
    void RefuseFileOnTarget(const std::u16string& source) override {
        refusals.push_back(RefusalText(source));
    }
    void RunFolderRemovedForRoom(const std::u16string& folder) override {
        removedForRoom.push_back(folder);
    }

    void PumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void KeepResponsive() override {
        ++keepResponsiveCalls;
        if (onKeepResponsive) onKeepResponsive();
    }
    void ShowWorkList() override {
        ++workListShows;
        if (onShowWorkList) onShowWorkList();
    }
    void BeginBusy() override {
        ++busyBegins;
        busy = true;
        runLog.clear();
    }
    void EndBusy() override {
        ++busyEnds;
        busy = false;
    }
    void WaitingForOtherRun() override { ++waitsForOtherRun; }
};

} // namespace kelvorin::testing
