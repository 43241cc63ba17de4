#include "app/win32/ConsoleCheckHost.h"

#include "app/CmdTexts.h"
#include "set/Text16.h"

namespace kelvorin {

void ConsoleCheckHost::Report(const std::u16string& line) {
    progress_.Clear();
    out_.WriteLine(line);
}

void ConsoleCheckHost::Progress(const std::u16string& file, const CheckCounts& counts) {
    if (!progress_.Due()) return;
    constexpr std::uint64_t kMegabyte = 1024 * 1024;
    const std::uint64_t milliseconds = GetTickCount64() - started_ + 1;
    const std::uint64_t speed = counts.sourceBytesCompared * 1000 / milliseconds / kMegabyte;
    progress_.Show(DecimalText(counts.sourceBytesCompared / kMegabyte) + texts::kCheckProgressOf +
                       DecimalText(counts.sourceBytesToCompare / kMegabyte) +
                       texts::kCheckProgressMegabytes + DecimalText(speed) +
                       texts::kCheckProgressSpeed,
                   file);
}

} // namespace kelvorin
