// The backup run in the main window: the window's side of RunHost.
#include "ui/DataSForm.h"

#include "set/win32/WideText.h"
#include "ui/MessageBoxes.h"

namespace kelvorin::ui {

namespace {
// The window answers at least this often during a run, so Windows never marks
// it as not responding and a close request is seen in the middle of a file.
constexpr ULONGLONG kMostQuietMilliseconds = 100;
// A run enters thousands of folders a second; the eye sees no more than this.
constexpr ULONGLONG kRepaintMilliseconds = 40;
} // namespace

void TDataSForm::SelectFolder(std::size_t i) {
    SendMessageW(ControlWindow(OrdnerListBox), LB_SETCURSEL, i, 0);
}

void TDataSForm::ShowLogInFileList(const std::vector<std::u16string>& lines) {
    workList_.Clear();
    for (const std::u16string& line : lines)
        workList_.Add(line);
    ShowWorkList();
}

void TDataSForm::ClearRunLog() {
    SendMessageW(ControlWindow(LogListBox), LB_RESETCONTENT, 0, 0);
}

void TDataSForm::AddRunLogLine(const std::u16string& line) {
    const std::wstring text = Wide(line);
    SendMessageW(ControlWindow(LogListBox), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

// The label takes the text when the window is next painted: measuring and
// sizing it for every folder walked would cost more than the walk.
void TDataSForm::SetFileCopyLabel(const std::u16string& text) {
    pendingLabel_ = text;
}

void TDataSForm::ShowPendingLabel() {
    if (!pendingLabel_) return;
    SetControlText(FileCopyLabel, Wide(*pendingLabel_).c_str());
    pendingLabel_.reset();
}

void TDataSForm::RepaintWindow() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastRepaint_ < kRepaintMilliseconds) return;
    lastRepaint_ = now;
    ShowPendingLabel();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TDataSForm::RepaintFileList() {
    UpdateWindow(ControlWindow(DateiListBox));
}

// Other handlers run here, nested in the run; a close request among them only
// sets Cancelled, so nothing that the run works with goes away.
void TDataSForm::PumpMessages() {
    ShowPendingLabel();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the main loop
            break;
        }
        if (PreTranslateFormMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    lastPump_ = GetTickCount64();
}

void TDataSForm::KeepResponsive() {
    if (GetTickCount64() - lastPump_ >= kMostQuietMilliseconds) PumpMessages();
}

void TDataSForm::BeginBusy() {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    StopTimer(CheckTimer);
    EnableItem(SichernItem, false);
    EnableWindow(ControlWindow(SichernBitBtn), FALSE);
    SetToolButtonState(SichernToolButton, false, true);
    EnableSetCommands(false);
    lastPump_ = GetTickCount64();
}

void TDataSForm::EndBusy() {
    ShowPendingLabel();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EnableSetCommands(true);
    StartTimer(CheckTimer, 1000);
}

void TDataSForm::ShowRefusal(const std::u16string& text) {
    ShowPlainMessage(Handle(), Wide(text));
}

} // namespace kelvorin::ui
