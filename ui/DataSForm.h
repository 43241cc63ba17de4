#pragma once
// The main window "Datensicherung": its controls hold the backup set; it
// offers every command through the menu bar, the tool bar, the folder list's
// pop-up menu and two push buttons, and runs the backup in itself.
#include "app/MainForm.h"
#include "engine/BackupRun.h"
#include "engine/RunHost.h"
#include "ui/FormWindow.h"
#include "ui/RunTaskbar.h"
#include "ui/SetFileDialogs.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kelvorin::ui {

class THelpForm;
class TAboutBox;

// The folder chooser: opens at the folder; true and the chosen folder when the
// user confirmed, false and the folder unchanged otherwise.
using SelectFolderFunction = std::function<bool(std::wstring& folder, std::int32_t helpContext)>;

// What the window works with; the program passes the Win32 services, tests their own.
struct DataSFormServices {
    StartUpServices& startUp;
    FileServices& files;
    CodePage& codePage;
    LocalClock& clock;
    SelectFolderFunction selectFolder;
    MakeTaskbarProgress makeTaskbar;
    // Where a run's long listing waits; empty keeps it in memory.
    std::u16string spoolFolder = {};
};

class TDataSForm : public FormWindow, private MainFormHost, private RunHost {
public:
    enum ControlId : int {
        ToolBar = 1,
        OpenToolButton,
        SichernToolButton,
        HelpToolButton,
        ToolButton1,
        FileCopyLabel,
        OrdnerGroupBox,
        OrdnerListBox,
        DateiGroupBox,
        DateiListBox,
        AusschlussGroupBox,
        AusschlussMemo,
        SynchronCheckBox,
        SichernBitBtn,
        EndeBitBtn,
        LogListBox,
        StatusBar,
        SaveRadioGroup = 100, // its items "A:" to "Z:" are 101 to 126
        FileMenu = 200,
        FileNeuItem,
        FileOpenItem,
        FileSaveItem,
        N1,
        FileExitItem,
        EditMenu,
        SichernItem,
        N2,
        AddOrdnerItem,
        DelOrdnerItem,
        HelpMenu,
        HelpItem,
        HelpAboutItem,
        OrdnerPopupMenu,
        AddOrdnerPuItem,
        DelOrdnerPuItem,
        CheckTimer = 300,
    };

    TDataSForm(HINSTANCE instance, DataSFormServices services, THelpForm& helpForm,
               TAboutBox& aboutBox);
    ~TDataSForm() override;

    // The handlers of the window's commands.
    void SichernItemClick();
    void AddOrdnerItemClick();
    void DelOrdnerItemClick();
    void FileExitItemClick();
    void HelpItemClick();
    void HelpAboutItemClick();
    void CheckTimerTimer();
    bool FormHelp(WORD command, LONG_PTR data, bool& callHelp);

    MainForm& Form() { return form_; }
    RunFlags& Flags() { return flags_; }
    // False when an error stopped FormCreate: its later steps (the help hook
    // among them) did not run.
    bool FormCreateCompleted() const { return formCreateCompleted_; }
    bool IsRunning() const { return running_; }

protected:
    void FormCreate() override;
    void CloseRequest() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // MainFormHost: the set in the controls.
    void ShowError(const std::u16string& text) override;
    std::optional<std::u16string> AskSetFileToOpen() override;
    std::optional<std::u16string> AskSetFileToSave() override;
    bool ChooseFolder(std::u16string& folder) override;
    BackupSet ReadSet() override;
    void ShowSet(const BackupSet& set) override;
    void AddFolder(const std::u16string& folder) override;
    SortedList& WorkList() override { return workList_; }
    void ClearWorkList() override;
    void ShowWorkList() override;
    std::wstring ListItemText(int id, std::size_t index) override;

    // RunHost: the run in the window (DataSFormRun.cpp).
    std::size_t FolderCount() override;
    std::u16string Folder(std::size_t i) override;
    void SelectFolder(std::size_t i) override;
    std::vector<std::u16string> ExclusionLines() override;
    DriveLetter TargetDrive() override;
    bool SynchronTicked() override;
    int VersionDays() override { return versionDays_; }
    void Logged(const RunLogLine& line) override;
    void Progressed(const RunProgress& progress) override;
    void LogFileFailed(const std::u16string& error) override { ShowError(error); }
    void Ended(RunStatus status, const std::vector<std::u16string>& runLog) override;
    void PumpMessages() override;
    void KeepResponsive() override;
    void BeginBusy() override;
    void EndBusy() override;
    void WaitingForOtherRun() override;
    void RefuseFileOnTarget(const std::u16string& source) override;

    void RegisterHandlers();
    void StartCheckTimer();
    // The label takes its text when the window is next painted.
    void SetFileCopyLabel(std::wstring text) { pendingLabel_ = std::move(text); }
    void ShowPendingLabel();
    void RepaintWindow();
    // The commands that change the set, and "Info...", do nothing while a backup runs.
    void EnableSetCommands(bool enabled);
    // The lines come in the program's one path order: a list box keeps it as
    // given and is filled in one go, with redraw off and storage reserved.
    void FillList(int id, const std::vector<std::u16string>& lines);

    DataSFormServices services_;
    THelpForm& helpForm_;
    TAboutBox& aboutBox_;
    RunFlags flags_;
    // The lines of the file list, which asks for those that it shows: a run's
    // hundreds of thousands of paths are never copied into a control.
    SortedList workList_;
    SetFileDialog openDialog_{SetFileDialog::Kind::Open};
    SetFileDialog saveDialog_{SetFileDialog::Kind::Save};
    MainForm form_;
    bool formCreateCompleted_ = false;
    bool running_ = false;
    bool closePending_ = false; // a close request came during a run
    // The set's keep time, which no control shows: kept from load to save.
    int versionDays_ = BackupSet::kDefaultVersionDays;
    ULONGLONG lastPump_ = 0;
    ULONGLONG lastRepaint_ = 0;
    std::optional<std::wstring> pendingLabel_; // FileCopyLabel's next text
    // Sent by the shell once the window's taskbar button exists, and again
    // whenever the shell makes it anew.
    const UINT taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
    RunTaskbar runTaskbar_;
};

} // namespace kelvorin::ui
