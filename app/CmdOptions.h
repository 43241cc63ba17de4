#pragma once
// Arguments of the console program: [Zusammenstellung] [/Vorschau | /Prüfen |
// /Reparieren] | /?
#include <string>
#include <vector>

namespace kelvorin {

struct CmdOptions {
    std::vector<std::u16string> setNames; // at most one is valid
    bool preview = false;
    bool check = false;  // reads the backup back instead of a run
    bool repair = false; // the check, then damaged copies copied again; implies check
    bool help = false;
    std::u16string error; // empty when the arguments are usable
};

// args: the split command line without the program itself.
CmdOptions ParseCmdOptions(const std::vector<std::u16string>& args);

// Exit codes of the console program.
enum class CmdExit : int {
    Ok = 0,
    CopyFailed = 1,
    DeleteFailed = 2,
    Cancelled = 3,
    NotReady = 4,
    UsageOrSetFile = 5,
    // A check found copies that differ from their sources or cannot be read.
    BackupDamaged = 6,
    // The program failed inside itself (an exception or a crash): no outcome
    // of the run, which a script must not take for one.
    InternalError = 9,
};

} // namespace kelvorin
