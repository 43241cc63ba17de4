#pragma once
// What both programs tell of a run beside its log.
#include <string>

namespace kelvorin {

// A file of a set folder that lies on the target drive itself.
inline std::u16string RefusalText(const std::u16string& source) {
    return source + u" kann nicht gesichert werden !";
}

} // namespace kelvorin
