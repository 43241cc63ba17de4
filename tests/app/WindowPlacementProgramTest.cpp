// Kelvorin.exe started at 144 dots per inch. Its main window is laid out at
// 436,171 with a client of 624 x 421, 936 x 632 at this density: on a screen of
// 1280 pixels it does not fit there and is kept inside with its real frame.
#include "tests/support/win32/ProgramDriver.h"
#include "tests/support/win32/ScratchDrives.h"
#include "win32/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace kelvorin::testing {
namespace {

// The density that processes started meanwhile take; the previous one comes back.
// The programs' tests run alone, so no other test starts at this density.
class SystemDensity {
public:
    explicit SystemDensity(DWORD dpi) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        key_.reset(key);
        DWORD size = sizeof(previous_);
        hadValue_ = RegQueryValueExW(key_.get(), kValue, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
        set_ = RegSetValueExW(key_.get(), kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof(dpi)) == ERROR_SUCCESS;
    }
    ~SystemDensity() {
        if (!key_) return;
        if (hadValue_)
            RegSetValueExW(key_.get(), kValue, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&previous_), sizeof(previous_));
        else
            RegDeleteValueW(key_.get(), kValue);
    }
    SystemDensity(const SystemDensity&) = delete;
    SystemDensity& operator=(const SystemDensity&) = delete;
    bool Set() const { return set_; }

private:
    static constexpr const wchar_t* kValue = L"LogPixels";
    UniqueRegistryKey key_;
    DWORD previous_ = 0;
    bool hadValue_ = false;
    bool set_ = false;
};

class WindowPlacementProgram : public DriveTest {};

TEST_F(WindowPlacementProgram, AtHigherDensityTheMainWindowEndsAtTheScreensEdge) {
    std::unique_ptr<remote::Program> program;
    {
        SystemDensity density(144);
        ASSERT_TRUE(density.Set());
        program = std::make_unique<remote::Program>(WinePathOfHostFile(KELVORIN_EXE), FolderName());
        // Read once the program runs: its density is fixed from then on.
        ASSERT_TRUE(remote::WaitUntil(
            [&] { return remote::FindWindowOf(program->Id(), L"TDataSForm", {}) != nullptr; },
            15000));
    }
    HWND window = remote::WaitForWindowOf(program->Id(), L"TDataSForm");
    ASSERT_NE(window, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, 936) << "the program runs at 144 dots per inch";
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right, monitor.rcWork.right) << "against the right edge, not past it";
    EXPECT_GE(frame.left, monitor.rcWork.left);
    EXPECT_GE(frame.top, monitor.rcWork.top);
    EXPECT_LE(frame.bottom, monitor.rcWork.bottom);
}

} // namespace
} // namespace kelvorin::testing
