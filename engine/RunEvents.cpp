#include "engine/RunEvents.h"

#include "engine/Texts.h"

namespace kelvorin {

std::u16string LogLineText(const RunLogLine& line) {
    switch (line.kind) {
    case LogKind::NotFound:
        return kNotFoundLine + line.subject;
    case LogKind::NotCopied:
        return kNotCopiedLine + line.subject;
    case LogKind::NotDeleted:
        return kNotDeletedLine + line.subject;
    case LogKind::OnlyInStore:
        return kOnlyInStoreLine + line.subject;
    case LogKind::Status:
    case LogKind::DateTime:
        break;
    }
    return line.subject;
}

} // namespace kelvorin
