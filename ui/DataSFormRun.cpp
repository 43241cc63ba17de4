// The backup run in the main window: the window's side of RunHost.
#include "ui/DataSForm.h"

#include "app/RunTexts.h"
#include "set/win32/WideText.h"
#include "ui/MessageBoxes.h"
#include "ui/Texts.h"

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

void TDataSForm::Logged(const RunLogLine& line) {
    const std::wstring text = Wide(LogLineText(line));
    SendMessageW(ControlWindow(LogListBox), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

// Measuring and sizing the label for every folder walked would cost more than
// the walk: it takes its text when the window is next painted.
void TDataSForm::Progressed(const RunProgress& progress) {
    runTaskbar_.Progressed(progress);
    switch (progress.step) {
    case RunStep::EnteringFolder:
    case RunStep::Copying:
        SetFileCopyLabel(Wide(progress.path));
        RepaintWindow();
        break;
    case RunStep::CopyFailed:
        SetFileCopyLabel(texts::kCopyFailedLabel);
        RepaintWindow();
        break;
    case RunStep::NotDeleted:
        SetFileCopyLabel(texts::kNotDeletedLabel);
        UpdateWindow(ControlWindow(DateiListBox));
        break;
    case RunStep::CopiesBegin:
    case RunStep::CopyIsCurrent:
    case RunStep::Writing:
    case RunStep::Synchronising:
        break; // the taskbar button's alone
    }
}

// The log's lines take the file list's place, sorted as its lines are.
void TDataSForm::Ended(RunStatus status, const std::vector<std::u16string>& runLog) {
    SetFileCopyLabel(Wide(RunStatusText(status)));
    workList_.Clear();
    for (const std::u16string& line : runLog)
        workList_.Add(line);
    ShowWorkList();
}

void TDataSForm::ShowPendingLabel() {
    if (!pendingLabel_) return;
    SetControlText(FileCopyLabel, pendingLabel_->c_str());
    pendingLabel_.reset();
}

void TDataSForm::RepaintWindow() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastRepaint_ < kRepaintMilliseconds) return;
    lastRepaint_ = now;
    ShowPendingLabel();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
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
    SendMessageW(ControlWindow(LogListBox), LB_RESETCONTENT, 0, 0);
    runTaskbar_.RunBegins();
    RepaintWindow();
    lastPump_ = GetTickCount64();
}

void TDataSForm::EndBusy() {
    runTaskbar_.RunEnds();
    ShowPendingLabel();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EnableSetCommands(true);
    StartCheckTimer();
}

// Shown at once: the wait may be long, and the label is all that explains it.
void TDataSForm::WaitingForOtherRun() {
    SetFileCopyLabel(texts::kWaitingForOtherRunLabel);
    ShowPendingLabel();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TDataSForm::RefuseFileOnTarget(const std::u16string& source) {
    ShowPlainMessage(Handle(), Wide(RefusalText(source)));
}

} // namespace kelvorin::ui
