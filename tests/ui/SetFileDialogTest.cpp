#include "tests/support/win32/ScratchDrives.h"
#include "tests/ui/FormDriver.h"
#include "ui/SetFileDialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

// Runs `step` on each dialog box of this thread that appears while a modal
// loop runs, one box per step.
class DialogDriver {
public:
    using Step = std::function<void(HWND)>;
    explicit DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {}
    bool Done() const { return next_ == steps_.size(); }

private:
    void Tick() {
        if (Done()) return;
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM lp) -> BOOL {
                wchar_t cls[32] = {};
                GetClassNameW(w, cls, 32);
                if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w) || !IsWindowEnabled(w))
                    return TRUE;
                *reinterpret_cast<HWND*>(lp) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found == nullptr || found == last_) return;
        last_ = found;
        steps_[next_++](found);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    HWND last_ = nullptr;
    DuringModal ticks_{[this] { Tick(); }, 100, DuringModal::Ticks::Every}; // last: goes first
};

// The file name field: cmb13 on Windows, edt1 in Wine's own template.
HWND NameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, 0x47C);
    return field ? field : GetDlgItem(dialog, 0x480);
}

std::wstring Text(HWND w) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(w, buffer, 1024);
    return buffer;
}

struct Seen {
    std::wstring name;
    std::vector<std::wstring> filters;
    int selectedFilter = -1;
    bool readOnlyBoxShown = false;
};

DialogDriver::Step Answer(Seen& seen, const std::wstring& typed) {
    return [&seen, typed](HWND dialog) {
        seen.name = Text(NameField(dialog));
        const HWND filter = GetDlgItem(dialog, 0x470);
        const auto count = SendMessageW(filter, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            SendMessageW(filter, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(item));
            seen.filters.push_back(item);
        }
        seen.selectedFilter = static_cast<int>(SendMessageW(filter, CB_GETCURSEL, 0, 0));
        const HWND readOnly = GetDlgItem(dialog, 0x410); // chx1
        seen.readOnlyBoxShown = readOnly && IsWindowVisible(readOnly);
        if (typed.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            SetWindowTextW(NameField(dialog), typed.c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    };
}

using SetFileDialogTest = DriveTest;

TEST_F(SetFileDialogTest, OpenDialogOffersTheSetFilesAndRemembersTheChoice) {
    const std::wstring chosen = Source(L"Projekt.ini");
    WriteTextFile(chosen, "Laufwerk=4\r\n");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);

    ui::SetFileDialog dialog(ui::SetFileDialog::Kind::Open);
    Seen first, second, third;
    DialogDriver driver(
        {Answer(first, Source(L"Projekt")), Answer(second, L""), Answer(third, L"")});

    const auto path = dialog.Run(nullptr);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, chosen) << "the default extension is added";
    EXPECT_EQ(first.name, L"Kelvorin*.ini");
    EXPECT_EQ(first.filters, (std::vector<std::wstring>{L"Zusammenstellung (Kelvorin*.ini)",
                                                        L"Alle Dateien(*.*)"}));
    EXPECT_EQ(first.selectedFilter, 0);
    EXPECT_FALSE(first.readOnlyBoxShown);

    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(after, before) << "the current folder must be restored";

    EXPECT_FALSE(dialog.Run(nullptr).has_value()) << "cancelled";
    EXPECT_EQ(second.name, L"Projekt.ini") << "the last path opens in its folder";
    EXPECT_EQ(dialog.FileName(), chosen) << "a cancelled dialog keeps the last name";

    // The save dialog keeps a name of its own.
    ui::SetFileDialog save(ui::SetFileDialog::Kind::Save);
    EXPECT_FALSE(save.Run(nullptr).has_value());
    EXPECT_EQ(third.name, L"Kelvorin*.ini");
    EXPECT_TRUE(driver.Done());
}

TEST_F(SetFileDialogTest, SaveDialogAsksBeforeOverwriting) {
    const std::wstring existing = Source(L"Alt.ini");
    WriteTextFile(existing, "Laufwerk=4\r\n");
    ui::SetFileDialog dialog(ui::SetFileDialog::Kind::Save);
    Seen seen;
    std::wstring prompt;
    DialogDriver driver({Answer(seen, existing), [&prompt](HWND box) {
                             prompt = Text(GetDlgItem(box, 65535));
                             PostMessageW(box, WM_COMMAND, IDYES, 0);
                         }});
    const auto path = dialog.Run(nullptr);
    EXPECT_TRUE(driver.Done()) << "no overwrite prompt appeared";
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, existing);
    EXPECT_FALSE(prompt.empty());
}

} // namespace
} // namespace kelvorin::testing
