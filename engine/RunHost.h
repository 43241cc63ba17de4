#pragma once
// What a backup run needs of the window it runs in. The main window, the
// console program and the tests implement it; the engine sees nothing else.
#include "engine/RunEvents.h"
#include "set/DriveLetter.h"
#include "set/SortedList.h"

#include <string>
#include <vector>

namespace kelvorin {

class RunHost {
public:
    virtual ~RunHost() = default;

    // The set as the window's controls hold it at the moment of asking.
    virtual std::size_t FolderCount() = 0;
    virtual std::u16string Folder(std::size_t i) = 0;
    virtual std::vector<std::u16string> ExclusionLines() = 0;
    virtual DriveLetter TargetDrive() = 0;
    virtual bool SynchronTicked() = 0;
    // Days that what the run replaces or removes is kept; 0 keeps nothing.
    virtual int VersionDays() = 0;

    // The file list, whose items are the engine's work list.
    virtual SortedList& WorkList() = 0;
    // Before the walk of each folder; the window shows no lines until ShowWorkList.
    virtual void ClearWorkList() { WorkList().Clear(); }
    // The work list is complete for the folder in work. The window shows it
    // now: it fills its list box once per folder, not once per added line.
    virtual void ShowWorkList() {}

    // What the run reports, in the order it happens.
    virtual void Logged(const RunLogLine& line) = 0;
    virtual void Progressed(const RunProgress& progress) = 0;
    // The log file could not be written; the text says why.
    virtual void LogFileFailed(const std::u16string& error) = 0;
    // The run is over: its status, and its whole log, which the window shows
    // in the file list.
    virtual void Ended(RunStatus status, const std::vector<std::u16string>& runLog) = 0;
    // A run folder of the store was removed before its keep time ran out, to
    // make room on the target; the log does not name it.
    virtual void RunFolderRemovedForRoom(const std::u16string&) {}
    // A file of a set folder lies on the target drive: it is not copied. The
    // window shows a plain modal message (no icon, OK) and waits for the user.
    virtual void RefuseFileOnTarget(const std::u16string& source) = 0;

    // The window's turns during a run; a host without a window has nothing to do.
    // Each set folder is selected while the run works on it.
    virtual void SelectFolder(std::size_t) {}
    // Handles every pending message, after each attempted copy; a close request
    // sets Cancelled here.
    virtual void PumpMessages() {}
    // Called often during long steps: walks, synchronisation passes, between
    // the chunks of a file. The window handles pending messages when it last
    // did so 100 ms ago or more; a close request can set Cancelled in it.
    virtual void KeepResponsive() {}
    // Steps around a run: wait cursor, timer stopped, backup commands disabled;
    // and back.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    // Another run holds the target drive: this one waits until it ends, taking
    // turns meanwhile. Told once per wait.
    virtual void WaitingForOtherRun() {}
};

} // namespace kelvorin
