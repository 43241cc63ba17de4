// The main window's commands and the set in its controls.
#include "ui/DataSForm.h"

#include "app/Readiness.h"
#include "set/PathOrder.h"
#include "set/win32/WideText.h"
#include "ui/AboutBox.h"
#include "ui/HelpForm.h"
#include "ui/MessageBoxes.h"

#include <algorithm>

namespace kelvorin::ui {

namespace {

std::u16string ListText(HWND list, int index) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return U16(text);
}

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

TDataSForm::~TDataSForm() = default;

void TDataSForm::RegisterHandlers() {
    On(FileNeuItem, Event::Click, [this] { form_.FileNeuItemClick(); });
    On(FileOpenItem, Event::Click, [this] { form_.FileOpenItemClick(); });
    On(FileSaveItem, Event::Click, [this] { form_.FileSaveItemClick(); });
    On(FileExitItem, Event::Click, [this] { FileExitItemClick(); });
    On(SichernItem, Event::Click, [this] { SichernItemClick(); });
    On(SichernBitBtn, Event::Click, [this] { SichernItemClick(); });
    On(EndeBitBtn, Event::Click, [this] { FileExitItemClick(); });
    On(AddOrdnerItem, Event::Click, [this] { AddOrdnerItemClick(); });
    On(AddOrdnerPuItem, Event::Click, [this] { AddOrdnerItemClick(); });
    On(DelOrdnerItem, Event::Click, [this] { DelOrdnerItemClick(); });
    On(DelOrdnerPuItem, Event::Click, [this] { DelOrdnerItemClick(); });
    On(HelpItem, Event::Click, [this] { HelpItemClick(); });
    On(HelpAboutItem, Event::Click, [this] { HelpAboutItemClick(); });
    On(CheckTimer, Event::Timer, [this] { CheckTimerTimer(); });
}

void TDataSForm::FormCreate() {
    // A program run as administrator would not hear it from the shell otherwise.
    ChangeWindowMessageFilterEx(Handle(), taskbarButtonCreated_, MSGFLT_ALLOW, nullptr);
    const HelpHook hook = [this](WORD command, LONG_PTR data, bool& callHelp) {
        return FormHelp(command, data, callHelp);
    };
    SetHelpHook(hook);
    // An error is shown and the window is made all the same, without the later steps.
    formCreateCompleted_ = form_.FormCreate();
    if (formCreateCompleted_) SetApplicationHelpHook(hook);
    StartCheckTimer();
}

void TDataSForm::CloseRequest() {
    if (!form_.FormCloseQuery()) return; // the error was shown; the window stays
    // Nothing that a run works with may go while it runs: the window goes
    // once the run's handler has returned.
    if (running_) {
        closePending_ = true;
        return;
    }
    DestroyWindow(Handle());
}

LRESULT TDataSForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (taskbarButtonCreated_ != 0 && message == taskbarButtonCreated_) {
        if (services_.makeTaskbar) runTaskbar_.Use(services_.makeTaskbar(Handle()));
        return 0;
    }
    switch (message) {
    case WM_QUERYENDSESSION:
        return form_.FormCloseQuery() ? TRUE : FALSE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        if (running_) {
            FormWindow::HandleMessage(message, wParam, lParam); // the hints
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    }
    return FormWindow::HandleMessage(message, wParam, lParam);
}

void TDataSForm::SichernItemClick() {
    if (running_) return;
    running_ = true;
    BackupRun run(*this,
                  {services_.files, services_.codePage, services_.clock, services_.spoolFolder},
                  flags_, form_.locations.dataDir);
    run.Run();
    running_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (closePending_) DestroyWindow(Handle());
}

void TDataSForm::AddOrdnerItemClick() {
    if (running_) return;
    form_.AddOrdnerItemClick();
}

void TDataSForm::DelOrdnerItemClick() {
    if (running_) return;
    HWND list = ControlWindow(OrdnerListBox);
    const auto selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void TDataSForm::FileExitItemClick() {
    flags_.cancelled = true;
    CloseRequest();
}

void TDataSForm::HelpItemClick() {
    helpForm_.SetHelpTopic(kHelpGeneral);
    helpForm_.Show();
}

void TDataSForm::HelpAboutItemClick() {
    aboutBox_.ShowModal();
}

bool TDataSForm::FormHelp(WORD /*command*/, LONG_PTR data, bool& callHelp) {
    helpForm_.SetHelpTopic(static_cast<std::int32_t>(data));
    helpForm_.Show();
    callHelp = false;
    return true;
}

// "Sichern" follows a target drive plugged in or pulled out within a second.
void TDataSForm::StartCheckTimer() {
    StartTimer(CheckTimer, 1000);
}

void TDataSForm::CheckTimerTimer() {
    const std::size_t count = FolderCount();
    const bool ready = CheckReadiness(count, count ? Folder(0) : std::u16string(), TargetDrive(),
                                      services_.files) == Readiness::Ready;
    EnableItem(SichernItem, ready);
    EnableWindow(ControlWindow(SichernBitBtn), ready);
    SetToolButtonState(SichernToolButton, ready, !ready);
}

void TDataSForm::EnableSetCommands(bool enabled) {
    for (int item : {FileNeuItem, FileOpenItem, FileSaveItem, AddOrdnerItem, DelOrdnerItem,
                     AddOrdnerPuItem, DelOrdnerPuItem})
        EnableItem(item, enabled);
    // The info box's modal loop would nest in the run's and stall it while open.
    EnableItem(HelpAboutItem, enabled);
    SetToolButtonState(OpenToolButton, enabled, false);
}

// The set in the controls.

void TDataSForm::ShowError(const std::u16string& text) {
    // While the window is still being made it cannot own the box.
    ShowErrorBox(Handle() && IsWindowVisible(Handle()) ? Handle() : nullptr, Wide(text));
}

std::optional<std::u16string> TDataSForm::AskSetFileToOpen() {
    const auto path = openDialog_.Run(Handle());
    return path ? std::optional<std::u16string>(U16(*path)) : std::nullopt;
}

std::optional<std::u16string> TDataSForm::AskSetFileToSave() {
    const auto path = saveDialog_.Run(Handle());
    return path ? std::optional<std::u16string>(U16(*path)) : std::nullopt;
}

bool TDataSForm::ChooseFolder(std::u16string& folder) {
    if (!services_.selectFolder) return false;
    std::wstring chosen = Wide(folder);
    if (!services_.selectFolder(chosen, kHelpFolders)) return false;
    folder = U16(chosen);
    return true;
}

BackupSet TDataSForm::ReadSet() {
    BackupSet set;
    for (std::size_t i = 0, count = FolderCount(); i < count; ++i)
        set.folders.Add(Folder(i));
    set.exclusions = ExclusionLines();
    set.SetDriveIndex(TargetDrive().Index());
    set.synchron = SynchronTicked();
    set.versionDays = versionDays_;
    return set;
}

void TDataSForm::ShowSet(const BackupSet& set) {
    FillList(OrdnerListBox, set.folders.Items());
    std::wstring lines;
    for (const std::u16string& line : set.exclusions) {
        if (!lines.empty()) lines += L"\r\n";
        lines += Wide(line);
    }
    // A last line that is empty would read back as none: it gets its own line end.
    if (!set.exclusions.empty() && set.exclusions.back().empty()) lines += L"\r\n";
    SetWindowTextW(ControlWindow(AusschlussMemo), lines.c_str());
    for (int i = 0; i < DriveLetter::kCount; ++i)
        SendMessageW(ControlWindow(RadioItemId(SaveRadioGroup, i)), BM_SETCHECK,
                     i == set.DriveIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(ControlWindow(SynchronCheckBox), BM_SETCHECK,
                 set.synchron ? BST_CHECKED : BST_UNCHECKED, 0);
    versionDays_ = set.versionDays;
}

void TDataSForm::AddFolder(const std::u16string& folder) {
    HWND list = ControlWindow(OrdnerListBox);
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int at = 0;
    while (at < count && !PathLess{}(folder, ListText(list, at)))
        ++at;
    const std::wstring text = Wide(folder);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(at),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void TDataSForm::ClearWorkList() {
    workList_.Clear();
    SetListCount(DateiListBox, 0);
}

void TDataSForm::ShowWorkList() {
    SetListCount(DateiListBox, workList_.Items().size());
}

std::wstring TDataSForm::ListItemText(int id, std::size_t index) {
    if (id != DateiListBox || index >= workList_.Count()) return {};
    return Wide(workList_.At(index));
}

void TDataSForm::FillList(int id, const std::vector<std::u16string>& lines) {
    HWND list = ControlWindow(id);
    std::size_t characters = 0;
    for (const std::u16string& line : lines)
        characters += line.size() + 1;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, lines.size(),
                 static_cast<LPARAM>(characters * sizeof(wchar_t)));
    std::wstring text;
    for (const std::u16string& line : lines) {
        text.assign(line.begin(), line.end());
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// Read by the run and the set commands.

std::size_t TDataSForm::FolderCount() {
    const auto count = SendMessageW(ControlWindow(OrdnerListBox), LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<std::size_t>(count);
}

std::u16string TDataSForm::Folder(std::size_t i) {
    return ListText(ControlWindow(OrdnerListBox), static_cast<int>(i));
}

// The memo's lines; a last line that is empty is no line.
std::vector<std::u16string> TDataSForm::ExclusionLines() {
    const std::u16string text = U16(WindowTextOf(ControlWindow(AusschlussMemo)));
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos;
         start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

DriveLetter TDataSForm::TargetDrive() {
    for (int i = 0; i < DriveLetter::kCount; ++i)
        if (SendMessageW(ControlWindow(RadioItemId(SaveRadioGroup, i)), BM_GETCHECK, 0, 0) ==
            BST_CHECKED)
            return DriveLetter::FromIndex(i);
    return {};
}

bool TDataSForm::SynchronTicked() {
    return SendMessageW(ControlWindow(SynchronCheckBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace kelvorin::ui
