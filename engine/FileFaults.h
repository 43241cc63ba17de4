#pragma once
// Why a file service failed, as far as the program acts on it, and the
// system's error codes that say so: the one place that reads them.
#include <cstdint>

namespace kelvorin {

enum class FileFault {
    None,
    HeldForAMoment, // another program has the file open or locked
    Denied,         // no access, which is also what a file pending deletion gives
    DriveFull,
    Exists,
    Missing,      // the file, or a folder of its path, is not there
    NotSupported, // the file system cannot do it
    Other,
};

// A virus scanner or the search indexer holding a file just written shows as
// either; such a hold passes within a moment.
inline bool MayBeHeldForAMoment(FileFault fault) {
    return fault == FileFault::HeldForAMoment || fault == FileFault::Denied;
}

// The Windows error codes that the file services meet. The memory file
// services of the tests set them too.
namespace system_error {
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kPathNotFound = 3;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kInvalidHandle = 6;
inline constexpr std::uint32_t kNotReady = 21;
inline constexpr std::uint32_t kCrc = 23;
inline constexpr std::uint32_t kSharingViolation = 32;
inline constexpr std::uint32_t kLockViolation = 33;
inline constexpr std::uint32_t kHandleDiskFull = 39;
inline constexpr std::uint32_t kNotSupported = 50;
inline constexpr std::uint32_t kFileExists = 80;
inline constexpr std::uint32_t kInvalidParameter = 87;
inline constexpr std::uint32_t kDiskFull = 112;
inline constexpr std::uint32_t kCallNotImplemented = 120;
inline constexpr std::uint32_t kDirNotEmpty = 145;
inline constexpr std::uint32_t kAlreadyExists = 183;
} // namespace system_error

FileFault FaultOf(std::uint32_t systemError);

} // namespace kelvorin
