#pragma once
// A run host held in memory: the set, the lists and every call the engine
// makes, for tests to inspect.
#include "engine/RunHost.h"
#include "set/BackupSet.h"

#include <algorithm>
#include <functional>
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
    std::vector<std::u16string> labels;   // every text FileCopyLabel got
    std::vector<std::u16string> refusals; // plain messages shown
    std::vector<std::u16string> errors;   // error boxes shown
    std::vector<std::size_t> selections;  // folder positions selected, in order
    int pumps = 0, keepResponsiveCalls = 0, workListShows = 0;
    int windowRepaints = 0, fileListRepaints = 0;
    int busyBegins = 0, busyEnds = 0;
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
    void ShowLogInFileList(const std::vector<std::u16string>& lines) override {
        workList.Clear();
        for (const auto& l : lines)
            workList.Add(l);
        fileList = workList.Items();
    }

    void ClearRunLog() override { runLog.clear(); }
    void AddRunLogLine(const std::u16string& line) override { runLog.push_back(line); }

    void SetFileCopyLabel(const std::u16string& text) override { labels.push_back(text); }
    void RepaintWindow() override { ++windowRepaints; }
    void RepaintFileList() override { ++fileListRepaints; }
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
    }
    void EndBusy() override {
        ++busyEnds;
        busy = false;
    }
    void ShowRefusal(const std::u16string& text) override { refusals.push_back(text); }
    void ShowError(const std::u16string& text) override { errors.push_back(text); }
};

} // namespace kelvorin::testing
