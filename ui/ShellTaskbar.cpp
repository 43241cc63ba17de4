#include "ui/ShellTaskbar.h"

#include "win32/Handles.h"

#include <objbase.h>
#include <shobjidl.h>

namespace kelvorin::ui {
namespace {

// COM on the window's thread while the taskbar's interface lives; a thread
// that has it already in another model still serves.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

class ShellTaskbar : public TaskbarProgress {
public:
    explicit ShellTaskbar(HWND window) : window_(window) {
        if (!apartment_.Usable()) return;
        ITaskbarList3* list = nullptr;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskbarList3, reinterpret_cast<void**>(&list))))
            return;
        list_.reset(list);
        if (FAILED(list_.get()->HrInit())) list_.reset();
    }
    bool Usable() const { return static_cast<bool>(list_); }

    void SetState(State state) override {
        static constexpr TBPFLAG kFlags[] = {TBPF_NOPROGRESS, TBPF_INDETERMINATE, TBPF_NORMAL,
                                             TBPF_ERROR};
        list_.get()->SetProgressState(window_, kFlags[static_cast<int>(state)]);
    }
    void SetValue(std::uint64_t done, std::uint64_t whole) override {
        list_.get()->SetProgressValue(window_, done, whole);
    }

private:
    ComApartment apartment_; // before the interface, which goes first
    HWND window_;
    UniqueCom<ITaskbarList3> list_;
};

} // namespace

std::unique_ptr<TaskbarProgress> MakeShellTaskbar(HWND window) {
    auto taskbar = std::make_unique<ShellTaskbar>(window);
    if (!taskbar->Usable()) return nullptr;
    return taskbar;
}

} // namespace kelvorin::ui
