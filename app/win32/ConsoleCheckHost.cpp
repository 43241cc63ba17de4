#include "app/win32/ConsoleCheckHost.h"

namespace kelvorin {

void ConsoleCheckHost::Report(const std::u16string& line) {
    progress_.Clear();
    out_.WriteLine(line);
}

void ConsoleCheckHost::Progress(const std::u16string& file, const CheckCounts& counts) {
    // Every copy to compare is known before the first comparison.
    if (!progress_.Begun()) progress_.Begin({counts.filesToCompare, counts.sourceBytesToCompare});
    progress_.ShowDone({counts.filesChecked, counts.sourceBytesCompared}, file);
}

} // namespace kelvorin
