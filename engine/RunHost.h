#pragma once
// What a backup run needs of the window it runs in. The main window, the
// console program and the tests implement it; the engine sees nothing else.
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
    virtual void SelectFolder(std::size_t i) = 0;
    virtual std::vector<std::u16string> ExclusionLines() = 0;
    virtual DriveLetter TargetDrive() = 0;
    virtual bool SynchronTicked() = 0;
    // Days that what the run replaces or removes is kept; 0 keeps nothing.
    virtual int VersionDays() = 0;

    // The file list, whose items are the engine's work list.
    virtual SortedList& WorkList() = 0;
    // Before the walk of each folder; the window shows no lines until ShowWorkList.
    virtual void ClearWorkList() { WorkList().Clear(); }
    virtual void ShowLogInFileList(const std::vector<std::u16string>& lines) = 0;

    // The run log, in the order of writing.
    virtual void ClearRunLog() = 0;
    virtual void AddRunLogLine(const std::u16string& line) = 0;

    virtual void SetFileCopyLabel(const std::u16string& text) = 0;
    virtual void RepaintWindow() = 0;
    virtual void RepaintFileList() = 0;
    // Handles every pending message, after each attempted copy; a close request
    // sets Cancelled here.
    virtual void PumpMessages() = 0;
    // Called often during long steps: walks, synchronisation passes, between
    // the chunks of a file. The window handles pending messages when it last
    // did so 100 ms ago or more; a close request can set Cancelled in it.
    virtual void KeepResponsive() = 0;
    // The work list is complete for the folder in work. The window shows it
    // now: it fills its list box once per folder, not once per added line.
    virtual void ShowWorkList() = 0;

    // Steps around a run: wait cursor, timer stopped, backup commands disabled;
    // and back.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // A plain modal message (no icon, OK); waits until the user closes it.
    virtual void ShowRefusal(const std::u16string& text) = 0;
    // The framework's error box.
    virtual void ShowError(const std::u16string& text) = 0;
};

} // namespace kelvorin
