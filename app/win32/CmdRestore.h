#pragma once
// /Stände, /Zurück and /Versionen of KelvorinCmd.exe: the states the store
// can give back, the set's folders (or parts of them) as they were at one,
// written into an empty folder, and the versions of one file. Each holds the
// target's lock and changes nothing on the stick.
#include "app/CmdOptions.h"
#include "app/win32/ConsoleStream.h"
#include "set/BackupSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorin {

struct RestoreRequest {
    std::int64_t moment;
    std::u16string folder;
    std::vector<std::u16string> only; // empty for the whole set
};

CmdExit ListStates(const BackupSet& set, ConsoleStream& out, ConsoleStream& err);
CmdExit RestoreState(const BackupSet& set, const RestoreRequest& request, ConsoleStream& out,
                     ConsoleStream& err);
// /Versionen: every version of one source file that the stick can give.
CmdExit ListVersions(const BackupSet& set, const std::u16string& file, ConsoleStream& out,
                     ConsoleStream& err);

} // namespace kelvorin
