#pragma once
// The status a run ends with: the first that applies of a failed copy, a
// failed deletion, a cancel, and "OK".
#include <string_view>

namespace kelvorin {

// What went wrong in a run, kept until its end.
struct RunResults {
    bool copyFailed = false;
    bool deleteFailed = false;
};

enum class RunStatus { CopyFailed, DeleteFailed, Cancelled, Ok };

RunStatus RunStatusOf(const RunResults& results, bool cancelled);
std::u16string_view RunStatusText(RunStatus status);

} // namespace kelvorin
