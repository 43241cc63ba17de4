#pragma once
// The folder chooser "Verzeichnis auswählen": a modal dialog with a folder
// tree from the drive root down to the open folder and its subfolders, the
// open folder's files for orientation, and the drives of the machine. Every
// folder that it opens becomes the process's working folder and stays so.
#include "ui/FolderSystem.h"
#include "ui/FormWindow.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorin::ui {

class TSelectDirForm : public FormWindow {
public:
    enum ControlId : int {
        DirLabel = 1,
        DirEdit,
        DirListLabel,
        DirList,
        FileListLabel,
        FileList,
        DriveListLabel,
        DriveList,
        NetButton,
        OKButton,
        CancelButton,
        HelpButton,
    };

    // Opens at the start folder, else at the working folder. Without a help
    // context "&Hilfe" is hidden and F1 asks for nothing.
    TSelectDirForm(HINSTANCE instance, FolderSystem& system, std::wstring startFolder,
                   std::int32_t helpContext);

    // The open folder as the path line shows it: a drive root with its
    // backslash, any other folder without one; empty when none could be opened.
    const std::wstring& Directory() const { return directory_; }

    bool PreTranslateMessage(const MSG& message) override;

protected:
    void FormCreate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawListItem(int id, const DRAWITEMSTRUCT& item) override;

private:
    struct TreeEntry {
        std::wstring path;
        std::wstring name;
        int level;
        bool open; // the open folder and the folders above it
    };
    struct CachedIcon {
        const PixelGrid* picture;
        int size;
        UniqueIcon icon;
    };

    // 0 when the folder was opened, else the system's error; the chooser then
    // stays as it was.
    std::uint32_t Open(const std::wstring& folder);
    void Report(const std::wstring& folder, std::uint32_t error);
    void ShowFolder(const FolderListing& listing);
    void FillDrives();
    void SelectDriveOfDirectory();

    void DirListClick();
    void DriveListClick();

    void DrawTreeItem(const DRAWITEMSTRUCT& item);
    void DrawDriveItem(const DRAWITEMSTRUCT& item);
    HICON IconOf(const PixelGrid& picture, int size);

    FolderSystem& system_;
    std::wstring startFolder_;
    std::int32_t helpContext_;
    std::wstring directory_;
    std::vector<TreeEntry> tree_;
    int openIndex_ = 0; // the open folder's item
    std::vector<DriveEntry> drives_;
    std::vector<CachedIcon> icons_;
};

// The chooser as the main window's add command uses it: true and the chosen
// folder when the user confirmed with "OK"; false, the folder unchanged, when
// the user left with "Abbrechen", Esc or the close box. The chooser offers no
// typed names and makes no folders.
bool SelectFolder(HINSTANCE instance, FolderSystem& system, HWND owner, std::wstring& folder,
                  std::int32_t helpContext);

} // namespace kelvorin::ui
