#pragma once
// /Stände and /Zurück of KelvorinCmd.exe: the states the store can give back,
// and the set's folders as they were at one, written into an empty folder.
// Both hold the target's lock and change nothing on the stick.
#include "app/CmdOptions.h"
#include "app/win32/ConsoleStream.h"
#include "set/BackupSet.h"

#include <cstdint>
#include <string>

namespace kelvorin {

CmdExit ListStates(const BackupSet& set, ConsoleStream& out, ConsoleStream& err);
CmdExit RestoreState(const BackupSet& set, std::int64_t moment, const std::u16string& folder,
                     ConsoleStream& out, ConsoleStream& err);

} // namespace kelvorin
