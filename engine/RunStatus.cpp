#include "engine/RunStatus.h"

#include "engine/Texts.h"

namespace kelvorin {

RunStatus RunStatusOf(const RunFlags& flags) {
    if (flags.copyFailed) return RunStatus::CopyFailed;
    if (flags.deleteFailed) return RunStatus::DeleteFailed;
    if (flags.cancelled) return RunStatus::Cancelled;
    return RunStatus::Ok;
}

std::u16string_view RunStatusText(RunStatus status) {
    switch (status) {
    case RunStatus::CopyFailed:
        return kStatusCopyFailed;
    case RunStatus::DeleteFailed:
        return kStatusDeleteFailed;
    case RunStatus::Cancelled:
        return kStatusCancelled;
    case RunStatus::Ok:
        break;
    }
    return kStatusOk;
}

std::u16string_view RunStatusText(const RunFlags& flags) {
    return RunStatusText(RunStatusOf(flags));
}

} // namespace kelvorin
