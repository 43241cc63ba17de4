#pragma once
#include "app/MainForm.h"
#include "app/win32/Win32StartUpServices.h"
#include "engine/RunFlags.h"
#include "engine/win32/Win32FileServices.h"
#include "set/win32/Win32CodePage.h"
#include "ui/SetFileDialogs.h"

#include <windows.h>

namespace kelvorin::ui {

// The program's main window ("Datensicherung"). Its creation loads the set
// file, every close request saves it.
class MainWindow : private MainFormHost {
public:
    explicit MainWindow(HINSTANCE instance) : MainWindow(instance, ownStartUp_) {}
    // With the documents folder and the command line from elsewhere (tests).
    MainWindow(HINSTANCE instance, StartUpServices& startUp)
        : instance_(instance), form_(*this, startUp, SetFileIo{files_, codePage_}, flags_) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    bool Create();
    void Show(int showCommand);
    HWND Handle() const { return hwnd_; }

    MainForm& Form() { return form_; }
    // False when an error stopped FormCreate: its later steps (the help hook
    // among them) must not run.
    bool FormCreateCompleted() const { return formCreateCompleted_; }
    RunFlags& Flags() { return flags_; }

    // The set commands, for the menu to call.
    void FileNeuItemClick() { form_.FileNeuItemClick(); }
    void FileOpenItemClick() { form_.FileOpenItemClick(); }
    void FileSaveItemClick() { form_.FileSaveItemClick(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    void ShowError(const std::u16string& text) override;
    std::optional<std::u16string> AskSetFileToOpen() override;
    std::optional<std::u16string> AskSetFileToSave() override;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    Win32StartUpServices ownStartUp_;
    Win32FileServices files_;
    Win32CodePage codePage_;
    RunFlags flags_;
    SetFileDialog openDialog_{SetFileDialog::Kind::Open};
    SetFileDialog saveDialog_{SetFileDialog::Kind::Save};
    MainForm form_;
    bool formCreateCompleted_ = false;
};

} // namespace kelvorin::ui
