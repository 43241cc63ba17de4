#pragma once
// A random world for one backup run, made from a seed: source trees on S: and
// D:, a previous backup on T: that is partly missing, older, newer, read-only
// or in the way, a set with nested, shared, missing and unreachable folders,
// versions on or off with a store of earlier runs, and the faults of the run.
#include "set/BackupSet.h"
#include "tests/support/MemoryFileServices.h"

#include <cstdint>
#include <set>
#include <string>

namespace kelvorin::testing {

inline constexpr char16_t kTarget = u'T';
inline constexpr char16_t kDocumentsFolder[] = u"K:\\Dokumente\\";
inline constexpr char16_t kStore[] = u"T:\\.Kelvorin-Versionen";
// Run folders of earlier runs: one past the keep time of 30 days, one within.
inline constexpr char16_t kExpiredRun[] = u"2026-10-01 08.00.00";
inline constexpr char16_t kRecentRun[] = u"2026-12-01 08.00.00 (2)";
// The run's start, as the tests' clock tells it, names the run's folder.
inline constexpr char16_t kRunFolder[] = u"T:\\.Kelvorin-Versionen\\2026-12-10 12.00.00";

struct Scenario {
    std::uint32_t seed = 0;
    MemoryFileServices files; // the world the run starts in
    BackupSet set;
    // Source files that cannot be read, at their open or in their middle.
    std::set<std::u16string> unreadable; // by MemoryFileServices::Key
    bool targetTooSmall = false;         // the copies need more room than T: has
    char16_t vanishing = 0;              // a drive that goes during the run
    int cancelAfter = -1;                // a close request after so many turns of the window
};

Scenario MakeScenario(std::uint32_t seed);

} // namespace kelvorin::testing
