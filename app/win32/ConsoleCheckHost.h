#pragma once
// The check's output on the console: problem lines to stdout; on a console,
// how far the comparison is and the file in work to stderr.
#include "app/win32/ConsoleProgress.h"
#include "app/win32/ConsoleStream.h"
#include "engine/BackupCheck.h"

namespace kelvorin {

class ConsoleCheckHost : public CheckHost {
public:
    ConsoleCheckHost(ConsoleStream& out, ConsoleStream& err) : out_(out), progress_(err) {}

    void Report(const std::u16string& line) override;
    void Progress(const std::u16string& file, const CheckCounts& counts) override;
    void Finish() { progress_.Clear(); }

private:
    ConsoleStream& out_;
    ConsoleProgress progress_;
};

} // namespace kelvorin
