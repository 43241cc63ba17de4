#include "engine/FileFaults.h"

namespace kelvorin {

FileFault FaultOf(std::uint32_t systemError) {
    using namespace system_error;
    switch (systemError) {
    case 0:
        return FileFault::None;
    case kSharingViolation:
    case kLockViolation:
        return FileFault::HeldForAMoment;
    case kAccessDenied:
        return FileFault::Denied;
    case kHandleDiskFull:
    case kDiskFull:
        return FileFault::DriveFull;
    case kFileExists:
    case kAlreadyExists:
        return FileFault::Exists;
    case kFileNotFound:
    case kPathNotFound:
        return FileFault::Missing;
    case kNotSupported:
    case kCallNotImplemented:
        return FileFault::NotSupported;
    default:
        return FileFault::Other;
    }
}

} // namespace kelvorin
