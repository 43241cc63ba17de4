#include "set/Texts.h"
#include "set/Text16.h"

namespace kelvorin {

std::u16string IoErrorText(std::uint32_t code) {
    switch (code) {
    case 2:
        return texts::kFileNotFound;
    case 3:
        return texts::kInvalidFileName;
    case 4:
        return texts::kTooManyOpenFiles;
    case 5:
        return texts::kAccessDenied;
    case 100:
        return texts::kReadPastEnd;
    case 101:
        return texts::kDiskFull;
    case 106:
        return texts::kInvalidNumber;
    }
    return texts::kIoErrorPrefix + DecimalText(static_cast<std::int32_t>(code));
}

} // namespace kelvorin
