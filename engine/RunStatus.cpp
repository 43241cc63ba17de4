#include "engine/RunStatus.h"

#include "engine/Texts.h"

namespace kelvorin {

RunStatus RunStatusOf(const RunResults& results, bool cancelled) {
    if (results.copyFailed) return RunStatus::CopyFailed;
    if (results.deleteFailed) return RunStatus::DeleteFailed;
    if (cancelled) return RunStatus::Cancelled;
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

} // namespace kelvorin
