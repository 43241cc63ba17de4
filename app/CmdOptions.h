#pragma once
// Arguments of the console program: [Zusammenstellung] [/Vorschau | /Prüfen |
// /Reparieren | /Stände | /Zurück:<Zeitpunkt> /Nach:<Ordner> [/Nur:<Pfad>...] |
// /Versionen:<Pfad>] | /?. Every option with an umlaut has an ASCII spelling
// too (/Pruefen, /Staende, /Zurueck): a batch file saved in the ANSI code page
// reaches the program garbled under the console's OEM code page.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvorin {

struct CmdOptions {
    std::vector<std::u16string> setNames; // at most one is valid
    bool preview = false;
    bool check = false;  // reads the backup back instead of a run
    bool repair = false; // the check, then damaged copies copied again; implies check
    bool states = false; // the states the store can give back
    // Back to the state at this moment (seconds as MomentOf counts them),
    // written into this folder.
    std::optional<std::int64_t> restoreMoment;
    std::u16string restoreFolder;
    // Only these source files or folders of the set, each as given.
    std::vector<std::u16string> only;
    // Every version of this source file that the stick can give.
    std::optional<std::u16string> versionsOf;
    bool help = false;
    std::u16string error; // empty when the arguments are usable
};

// args: the split command line without the program itself.
CmdOptions ParseCmdOptions(const std::vector<std::u16string>& args);

// "JJJJ-MM-TT", "JJJJ-MM-TT hh.mm" or "JJJJ-MM-TT hh.mm.ss", ":" also in the
// time, as the last second it names: a day to its end, a minute to its last
// second. nullopt for anything else.
std::optional<std::int64_t> ParseMoment(std::u16string_view text);

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
    // A restore wrote every file it could; some were no longer on the stick.
    NoLongerThere = 7,
    // No state at or before the moment asked for.
    NoState = 8,
    // The program failed inside itself (an exception or a crash): no outcome
    // of the run, which a script must not take for one.
    InternalError = 9,
};

} // namespace kelvorin
