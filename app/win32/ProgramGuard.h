#pragma once
// The console program's last line of defence: whatever fails inside it ends
// it with the exit code of an internal error and a line on stderr, never with
// a code that a script would read as an outcome of the run (under Wine a
// crash can reach a caller as 5, std::terminate as 3).
#include <functional>
#include <string>

namespace kelvorin {

using ProblemReport = std::function<void(const std::u16string& line)>;

// Runs the body and returns its exit code; an exception that leaves it is
// reported and gives CmdExit::InternalError.
int RunGuarded(const std::function<int()>& body, const ProblemReport& report);

// From now on a crash or std::terminate is reported and ends the process with
// CmdExit::InternalError.
void GuardAgainstCrashes(ProblemReport report);

} // namespace kelvorin
