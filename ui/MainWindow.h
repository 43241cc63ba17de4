#pragma once
#include <windows.h>

namespace kelvorin::ui {

// The program's main window ("Datensicherung").
class MainWindow {
public:
    explicit MainWindow(HINSTANCE instance) : instance_(instance) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    bool Create();
    void Show(int showCommand);
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
};

} // namespace kelvorin::ui
