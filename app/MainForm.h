#pragma once
// The main window's part that needs no window: the locations, start-up,
// closing, the three set commands and adding a folder. The set itself lives
// in the window's controls; these handlers read and show it through the host.
#include "app/SetFile.h"
#include "app/StartUp.h"
#include "engine/RunFlags.h"
#include "set/BackupSet.h"
#include "set/SortedList.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvorin {

struct Locations {
    std::u16string dataDir;     // the documents folder or "C:", with a backslash
    std::u16string browseDir;   // where the folder chooser opens
    std::u16string setFilePath; // where the set goes when the program ends
};

// What these handlers need of the window.
class MainFormHost {
public:
    virtual ~MainFormHost() = default;
    // The framework's error box.
    virtual void ShowError(const std::u16string& text) = 0;
    // The open and save dialogs: the chosen path, nothing when cancelled.
    virtual std::optional<std::u16string> AskSetFileToOpen() = 0;
    virtual std::optional<std::u16string> AskSetFileToSave() = 0;
    // The folder chooser, opened at the folder: false when the user left it
    // without "OK"; then the folder is unchanged.
    virtual bool ChooseFolder(std::u16string& folder) = 0;

    // The set as the controls hold it now, and the set put into them.
    virtual BackupSet ReadSet() = 0;
    virtual void ShowSet(const BackupSet& set) = 0;
    // Places the folder in the folder list by its order; the selection stays.
    virtual void AddFolder(const std::u16string& folder) = 0;
    // The file list: its lines, and showing them once they are complete.
    virtual SortedList& WorkList() = 0;
    virtual void ShowWorkList() = 0;
};

// Where the chooser opens after a folder was chosen: its parent, with the
// backslash; a drive root, or any text of three characters or fewer, stays.
std::u16string BrowseDirAfter(std::u16string_view chosen);

class MainForm {
public:
    MainForm(MainFormHost& host, StartUpServices& startUp, SetFileIo io, RunFlags& flags)
        : host_(host), startUp_(startUp), io_(io), flags_(flags) {}

    Locations locations;

    // Locations, set file, Cancelled := false, then the set is loaded. False
    // when an error stopped it; the error has been shown, later steps skipped.
    bool FormCreate();
    // Every request to close: Cancelled := true and the set is saved. False
    // when the save failed; the error has been shown and the window stays.
    bool FormCloseQuery();

    void FileNeuItemClick();
    void FileOpenItemClick();
    void FileSaveItemClick();
    // Adds the chosen folder unless its exact text is listed; either way the
    // chooser opens next time in the folder that holds it.
    void AddOrdnerItemClick();

    // Each first makes the path the current set file.
    std::optional<SetFileError> LoadSet(std::u16string_view path);
    std::optional<SetFileError> SaveSet(std::u16string_view path);

private:
    // Shows the error, if there is one; true when there was.
    bool ShowIfError(const std::optional<SetFileError>& error);

    MainFormHost& host_;
    StartUpServices& startUp_;
    SetFileIo io_;
    RunFlags& flags_;
};

} // namespace kelvorin
