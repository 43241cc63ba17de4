#include "set/Texts.h"
#include "set/Text16.h"

namespace kelvorin {

std::u16string IoErrorText(std::uint32_t code) {
    switch (code) {
    case io_error::kFileNotFound:
        return texts::kFileNotFound;
    case io_error::kInvalidFileName:
        return texts::kInvalidFileName;
    case io_error::kTooManyOpenFiles:
        return texts::kTooManyOpenFiles;
    case io_error::kAccessDenied:
        return texts::kAccessDenied;
    case io_error::kReadPastEnd:
        return texts::kReadPastEnd;
    case io_error::kDiskFull:
        return texts::kDiskFull;
    case io_error::kInvalidNumber:
        return texts::kInvalidNumber;
    }
    return texts::kIoErrorPrefix + DecimalText(static_cast<std::int32_t>(code));
}

} // namespace kelvorin
