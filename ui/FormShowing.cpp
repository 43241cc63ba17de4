// Showing and hiding a FormWindow, modeless and modal.
#include "ui/FormWindow.h"

#include <vector>

namespace kelvorin::ui {

void FormWindow::Show() {
    HWND window = Handle();
    if (!window) return;
    const bool wasActive = GetActiveWindow() == window;
    ShowWindow(window, SW_SHOW);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    // An active window gets no new activation, so its event runs here.
    if (wasActive) FormActivate();
}

void FormWindow::Hide() {
    if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

int FormWindow::ShowModal() {
    HWND window = Handle();
    if (!window || modal_) return 0;
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND other, LPARAM list) {
            if (IsWindowVisible(other) && IsWindowEnabled(other))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(other);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, window);
    const HWND previouslyActive = GetActiveWindow();
    for (HWND other : disabled)
        EnableWindow(other, FALSE);

    modal_ = true;
    modalResult_ = 0;
    Show();
    MSG message;
    while (modalResult_ == 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // the outer loop ends as well
            break;
        }
        if (got < 0) break;
        if (PreTranslateFormMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Enabled again before hiding, so that activation returns to the window that had it.
    for (HWND other : disabled)
        if (IsWindow(other)) EnableWindow(other, TRUE);
    if (previouslyActive && previouslyActive != window && IsWindow(previouslyActive))
        SetActiveWindow(previouslyActive);
    Hide();
    modal_ = false;
    return modalResult_;
}

void FormWindow::EndModal(int result) {
    if (modal_) modalResult_ = result;
}

void FormWindow::CloseRequest() {
    if (modal_)
        EndModal(kResultCancel);
    else
        Hide();
}

} // namespace kelvorin::ui
