#pragma once
// The status a run ends with, from its flags: the first that applies of a
// failed copy, a failed deletion, a cancel, and "OK".
#include "engine/RunFlags.h"

#include <string_view>

namespace kelvorin {

enum class RunStatus { CopyFailed, DeleteFailed, Cancelled, Ok };

RunStatus RunStatusOf(const RunFlags& flags);
std::u16string_view RunStatusText(RunStatus status);
std::u16string_view RunStatusText(const RunFlags& flags);

} // namespace kelvorin
