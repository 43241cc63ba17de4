#pragma once
// The main window with its help window and about box, made as the program
// makes them, on the scratch drives; the documents folder is the test's own.
#include "engine/win32/Win32FileServices.h"
#include "engine/win32/Win32LocalClock.h"
#include "set/win32/Win32CodePage.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/win32/ScratchDrives.h"
#include "tests/ui/FormDriver.h"
#include "ui/AboutBox.h"
#include "ui/DataSForm.h"
#include "ui/HelpForm.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin::testing {

// The real file system, with what cannot be made real here given by the test:
// a drive with exactly 1,000,000 free bytes, and a slow stick.
class WindowTestFiles : public ForwardingFileServices {
public:
    explicit WindowTestFiles(FileServices& inner) : ForwardingFileServices(inner) {}
    std::optional<std::int64_t> freeBytes;
    int freeSpaceQueries = 0;
    DWORD millisecondsPerEntry = 0; // of a folder listed
    DWORD millisecondsPerChunk = 0; // of a file read

    std::int64_t FreeBytesOnDrive(DriveLetter drive) override {
        ++freeSpaceQueries;
        return freeBytes ? *freeBytes : ForwardingFileServices::FreeBytesOnDrive(drive);
    }
    bool ListFolder(std::u16string_view pattern,
                    const std::function<void(const FolderEntry&)>& visit) override {
        return ForwardingFileServices::ListFolder(pattern, [&](const FolderEntry& entry) {
            Sleep(millisecondsPerEntry);
            visit(entry);
        });
    }
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        Sleep(millisecondsPerChunk);
        return ForwardingFileServices::ReadChunk(h, buffer, n);
    }
};

class DataSFormTest : public DriveTest {
protected:
    using Id = ui::TDataSForm::ControlId;

    void SetUp() override {
        DriveTest::SetUp();
        PumpMessages();
        startUp_.personal = U16(Documents());
        MakeCleanFolder(Documents());
    }
    void TearDown() override {
        form_.reset();
        aboutBox_.reset();
        helpForm_.reset();
        ui::SetApplicationHelpHook(nullptr);
        DropQuitMessage();
        DriveTest::TearDown();
    }

    std::wstring Documents() const { return Source(L"Dokumente"); }
    std::wstring SetFile() const { return Documents() + L"\\Kelvorin.ini"; }
    std::wstring LogFile() const { return Documents() + L"\\Kelvorin.log"; }

    // The three windows in the program's order; the main window is shown.
    void Make() {
        helpForm_ = std::make_unique<ui::THelpForm>(GetModuleHandleW(nullptr));
        aboutBox_ = std::make_unique<ui::TAboutBox>(GetModuleHandleW(nullptr));
        form_ = std::make_unique<ui::TDataSForm>(
            GetModuleHandleW(nullptr),
            ui::DataSFormServices{startUp_, files_, codePage_, clock_,
                                  [this](std::wstring& folder, std::int32_t context) {
                                      chooserCalls_.push_back({folder, context});
                                      if (!chooserAnswer_) return false;
                                      folder = *chooserAnswer_;
                                      return true;
                                  },
                                  [this](HWND) { return makeTaskbar_ ? makeTaskbar_() : nullptr; }},
            *helpForm_, *aboutBox_);
        ASSERT_TRUE(form_->Create());
        ASSERT_TRUE(helpForm_->Create(form_->Handle()));
        ASSERT_TRUE(aboutBox_->Create(form_->Handle()));
        ShowWindow(Window(), SW_SHOW);
        SetForegroundWindow(Window());
        PumpMessages();
    }

    HWND Window() const { return form_->Handle(); }
    HWND Control(int id) const { return form_->ControlWindow(id); }

    // The folder list as the test wants it, in the given order.
    void SetFolders(const std::vector<std::wstring>& folders) {
        SendMessageW(Control(Id::OrdnerListBox), LB_RESETCONTENT, 0, 0);
        for (const auto& folder : folders)
            SendMessageW(Control(Id::OrdnerListBox), LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(folder.c_str()));
    }
    void SetTarget(int index) {
        for (int i = 0; i < 26; ++i)
            SendMessageW(Control(ui::RadioItemId(Id::SaveRadioGroup, i)), BM_SETCHECK,
                         i == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    static std::vector<std::wstring> Items(HWND list) {
        std::vector<std::wstring> items;
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                              L'\0');
            text.resize(static_cast<std::size_t>(
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            items.push_back(text);
        }
        return items;
    }
    // The lines of the file list, a list view that holds none itself, as a
    // screen reader reads them.
    static std::vector<std::wstring> ViewItems(HWND view) {
        std::vector<std::wstring> items;
        const auto count = SendMessageW(view, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[1024] = {};
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = 1024;
            SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
            items.emplace_back(text);
        }
        return items;
    }
    static void DropQuitMessage() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    static bool QuitPosted() {
        MSG msg;
        return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
    }

    struct ChooserCall {
        std::wstring openedAt;
        std::int32_t helpContext;
    };

    FixedStartUp startUp_;
    Win32FileServices realFiles_;
    WindowTestFiles files_{realFiles_};
    Win32CodePage codePage_;
    Win32LocalClock clock_;
    MessageBoxAnswerer boxes_;
    std::vector<ChooserCall> chooserCalls_;
    std::optional<std::wstring> chooserAnswer_;
    // The taskbar button's progress, when the test watches it.
    std::function<std::unique_ptr<ui::TaskbarProgress>()> makeTaskbar_;
    std::unique_ptr<ui::THelpForm> helpForm_;
    std::unique_ptr<ui::TAboutBox> aboutBox_;
    std::unique_ptr<ui::TDataSForm> form_;
};

} // namespace kelvorin::testing
