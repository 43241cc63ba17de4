#pragma once
// The check's output on the console: problem lines to stdout; on a console,
// the file in work, the megabytes checked of all and the speed to stderr.
#include "app/win32/ConsoleProgress.h"
#include "app/win32/ConsoleStream.h"
#include "engine/BackupCheck.h"

#include <cstdint>

namespace kelvorin {

class ConsoleCheckHost : public CheckHost {
public:
    ConsoleCheckHost(ConsoleStream& out, ConsoleStream& err)
        : out_(out), progress_(err), started_(GetTickCount64()) {}

    void Report(const std::u16string& line) override;
    void Progress(const std::u16string& file, const CheckCounts& counts) override;
    void Finish() { progress_.Clear(); }

private:
    ConsoleStream& out_;
    ConsoleProgress progress_;
    std::uint64_t started_;
};

} // namespace kelvorin
