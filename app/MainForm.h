#pragma once
// The main window's part that needs no window: the locations, the set as the
// window holds it, start-up, closing and the three set commands.
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
};

class MainForm {
public:
    MainForm(MainFormHost& host, StartUpServices& startUp, SetFileIo io, RunFlags& flags)
        : host_(host), startUp_(startUp), io_(io), flags_(flags) {}

    BackupSet set;
    SortedList workList; // the file list; loading stages exclusions through it
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

    // Each first makes the path the current set file.
    std::optional<SetFileError> LoadSet(std::u16string_view path);
    std::optional<SetFileError> SaveSet(std::u16string_view path);

private:
    bool Shown(const std::optional<SetFileError>& error);

    MainFormHost& host_;
    StartUpServices& startUp_;
    SetFileIo io_;
    RunFlags& flags_;
};

} // namespace kelvorin
