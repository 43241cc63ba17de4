#include "app/win32/ProgramGuard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvorin::testing {
namespace {

TEST(ProgramGuard, AnExceptionEndsTheProgramAsAnInternalErrorWithALine) {
    std::vector<std::u16string> lines;
    const ProblemReport report = [&](const std::u16string& line) { lines.push_back(line); };
    EXPECT_EQ(RunGuarded([] { return 3; }, report), 3);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(RunGuarded([]() -> int { throw std::runtime_error("kaputt"); }, report), 9);
    EXPECT_EQ(RunGuarded([]() -> int { throw 42; }, report), 9);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"Interner Fehler: kaputt",
                                                  u"Interner Fehler: unbekannte Ausnahme"}));
}

// Each in a process of its own: a crash and std::terminate end it with 9, not
// with 5 or 3, which a script reads as outcomes of the run.
TEST(ProgramGuardDeathTest, ACrashAndTerminateEndTheProcessWithTheInternalErrorCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const ProblemReport report = [](const std::u16string&) {};
    EXPECT_EXIT(
        {
            GuardAgainstCrashes(report);
            volatile std::uintptr_t nowhere = 16; // a write there faults
            *reinterpret_cast<volatile int*>(nowhere) = 1;
        },
        ::testing::ExitedWithCode(9), "");
    EXPECT_EXIT(
        {
            GuardAgainstCrashes(report);
            std::terminate();
        },
        ::testing::ExitedWithCode(9), "");
}

} // namespace
} // namespace kelvorin::testing
