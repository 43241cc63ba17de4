#include "engine/win32/Win32DriveLock.h"

#include "set/win32/WideText.h"

#include <array>

namespace kelvorin {

namespace {

// What a run needs of the mutex: wait on it and release it. A mutex made by
// another user (a scheduled task) grants no more, and asking for more there
// would be refused.
constexpr DWORD kUse = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// Every user may use the mutex: a run of another account must be able to wait
// on the lock that this one makes, and the default DACL would shut it out.
class EveryoneMayUse {
public:
    EveryoneMayUse() {
        DWORD sidSize = sizeof(sid_);
        made_ = CreateWellKnownSid(WinWorldSid, nullptr, sid_.data(), &sidSize) &&
                InitializeAcl(Acl(), sizeof(acl_), ACL_REVISION) &&
                AddAccessAllowedAce(Acl(), ACL_REVISION, kUse, sid_.data()) &&
                InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
                SetSecurityDescriptorDacl(&descriptor_, TRUE, Acl(), FALSE);
    }
    EveryoneMayUse(const EveryoneMayUse&) = delete;
    EveryoneMayUse& operator=(const EveryoneMayUse&) = delete;

    // Null when the descriptor could not be made: the default one then.
    SECURITY_ATTRIBUTES* Attributes() { return made_ ? &attributes_ : nullptr; }

private:
    ACL* Acl() { return reinterpret_cast<ACL*>(acl_.data()); }

    alignas(DWORD) std::array<BYTE, SECURITY_MAX_SID_SIZE> sid_{};
    alignas(DWORD)
        std::array<BYTE, sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE> acl_{};
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), &descriptor_, FALSE};
    bool made_ = false;
};

} // namespace

std::wstring DriveLockName(DriveLetter drive) {
    const std::wstring root = Wide(drive.Root());
    std::array<wchar_t, MAX_PATH> volume{};
    if (GetVolumeNameForVolumeMountPointW(root.c_str(), volume.data(),
                                          static_cast<DWORD>(volume.size()))) {
        // "\\?\Volume{GUID}\": a backslash would name a namespace in a mutex's name.
        const std::wstring name = volume.data();
        const auto open = name.find(L'{'), close = name.find(L'}');
        if (open != std::wstring::npos && close != std::wstring::npos && open < close)
            return L"Global\\Kelvorin-Volume-" + name.substr(open, close - open + 1);
    }
    return L"Global\\Kelvorin-Laufwerk-" + std::wstring(1, static_cast<wchar_t>(drive.Letter()));
}

std::unique_ptr<DriveLock> Win32DriveLock::Open(DriveLetter drive) {
    if (drive.IsNone()) return nullptr;
    const std::wstring name = DriveLockName(drive);
    EveryoneMayUse everyone;
    UniqueKernelObject mutex(CreateMutexExW(everyone.Attributes(), name.c_str(), 0, kUse));
    // Made by another user whose descriptor lets this one only open it.
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
        mutex.reset(OpenMutexW(kUse, FALSE, name.c_str()));
    if (!mutex) return nullptr;
    return std::make_unique<Win32DriveLock>(std::move(mutex));
}

Win32DriveLock::~Win32DriveLock() {
    for (; taken_ > 0; --taken_)
        ReleaseMutex(mutex_.get());
}

DriveLock::Attempt Win32DriveLock::Wait(std::uint32_t milliseconds) {
    switch (WaitForSingleObject(mutex_.get(), milliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: // its holder died: what it did the next run repairs
        ++taken_;
        return Attempt::Taken;
    case WAIT_TIMEOUT:
        return Attempt::Busy;
    default:
        return Attempt::Failed;
    }
}

} // namespace kelvorin
