#include "tests/support/win32/ScratchDrives.h"
#include "ui/MainWindow.h"

#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

// Presses OK on every message box of this thread and keeps its text.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        instance_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    ~MessageBoxAnswerer() {
        UnhookWindowsHookEx(hook_);
        instance_ = nullptr;
    }
    std::vector<std::wstring> texts;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_ACTIVATE && instance_) {
            const HWND box = reinterpret_cast<HWND>(wp);
            wchar_t cls[32] = {};
            GetClassNameW(box, cls, 32);
            if (std::wstring(cls) == L"#32770") {
                wchar_t text[512] = {};
                GetDlgItemTextW(box, 65535, text, 512);
                instance_->texts.push_back(text);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline MessageBoxAnswerer* instance_ = nullptr;
    HHOOK hook_;
};

// The quit message of a closed window must not end a later modal loop.
void DropQuitMessage() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class MainWindowSetFile : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        startUp_.personal = U16(Source(L"Dokumente"));
        MakeCleanFolder(Source(L"Dokumente"));
    }
    FixedStartUp startUp_;
    MessageBoxAnswerer boxes_;
};

TEST_F(MainWindowSetFile, LoadsAtCreationAndSavesOnClose) {
    WriteTextFile(Source(L"Dokumente\\Kelvorin.ini"), kExampleSetFile);
    ui::MainWindow window(GetModuleHandleW(nullptr), startUp_);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.Form().set.DriveIndex(), 5);
    EXPECT_FALSE(window.Flags().cancelled);
    EXPECT_TRUE(window.FormCreateCompleted());

    window.Form().set.SetDriveIndex(7);
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.Handle(), nullptr) << "the window should have closed";
    EXPECT_TRUE(window.Flags().cancelled);
    EXPECT_EQ(ReadWholeFile(Source(L"Dokumente\\Kelvorin.ini")).substr(0, 12), "Laufwerk=7\r\n");
    EXPECT_TRUE(boxes_.texts.empty());
    DropQuitMessage();
}

TEST_F(MainWindowSetFile, AnswersTheEndOfTheSessionAfterSaving) {
    ui::MainWindow window(GetModuleHandleW(nullptr), startUp_);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(window.Flags().cancelled);
    EXPECT_EQ(ReadWholeFile(Source(L"Dokumente\\Kelvorin.ini")),
              "Laufwerk=4\r\nSynchron=FALSE\r\n");
}

TEST_F(MainWindowSetFile, ShowsErrorsAndStaysOpenWhenTheSaveFails) {
    startUp_.commandLine = u"Kelvorin.exe " + U16(Source()) + u"\\" + std::u16string(260, u'x');
    ui::MainWindow window(GetModuleHandleW(nullptr), startUp_);
    ASSERT_TRUE(window.Create()) << "an error at creation must not stop the window";
    EXPECT_EQ(boxes_.texts, std::vector<std::wstring>{L"Ungültiger Dateiname."});
    EXPECT_FALSE(window.FormCreateCompleted());

    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    ASSERT_NE(window.Handle(), nullptr) << "the close should have been refused";
    EXPECT_TRUE(IsWindow(window.Handle()));
    EXPECT_TRUE(window.Flags().cancelled);
    EXPECT_EQ(boxes_.texts.size(), 2u);

    EXPECT_EQ(SendMessageW(window.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(boxes_.texts.size(), 3u);
}

} // namespace
} // namespace kelvorin::testing
