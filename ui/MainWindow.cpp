#include "ui/MainWindow.h"

#include "set/win32/WideText.h"
#include "ui/MessageBoxes.h"
#include "ui/Texts.h"

namespace kelvorin::ui {

namespace {
constexpr wchar_t kClassName[] = L"TDataSForm";
} // namespace

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    hwnd_ = CreateWindowExW(0, kClassName, texts::kMainCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
}

void MainWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->HandleMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        // An error is shown and the window is created all the same.
        formCreateCompleted_ = form_.FormCreate();
        return 0;
    case WM_CLOSE:
        if (form_.FormCloseQuery()) DestroyWindow(hwnd_);
        return 0;
    case WM_QUERYENDSESSION:
        return form_.FormCloseQuery() ? TRUE : FALSE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        hwnd_ = nullptr;
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::ShowError(const std::u16string& text) {
    // While the window is still being created it cannot own the box.
    ShowErrorBox(hwnd_ && IsWindowVisible(hwnd_) ? hwnd_ : nullptr, Wide(text));
}

std::optional<std::u16string> MainWindow::AskSetFileToOpen() {
    const auto path = openDialog_.Run(hwnd_);
    return path ? std::optional<std::u16string>(U16(*path)) : std::nullopt;
}

std::optional<std::u16string> MainWindow::AskSetFileToSave() {
    const auto path = saveDialog_.Run(hwnd_);
    return path ? std::optional<std::u16string>(U16(*path)) : std::nullopt;
}

} // namespace kelvorin::ui
