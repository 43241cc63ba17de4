// The program's case rule is the file system's: every UTF-16 unit folds as
// the system's own table folds it, which CompareStringOrdinal and the file
// system use when they ignore case.
#include "set/CaseRule.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kelvorin::testing {
namespace {

TEST(CaseRule, FoldsEveryUnitAsTheSystemsOrdinalCompareDoes) {
    using Upcase = WCHAR(WINAPI*)(WCHAR);
    const auto upcase = reinterpret_cast<Upcase>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlUpcaseUnicodeChar")));
    ASSERT_NE(upcase, nullptr);
    int differing = 0;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const auto c = static_cast<char16_t>(unit);
        const auto system = static_cast<char16_t>(upcase(static_cast<WCHAR>(unit)));
        if (FoldCase(c) != system && ++differing <= 10)
            ADD_FAILURE() << std::hex << "U+" << unit << " folds to U+" << unsigned{FoldCase(c)}
                          << ", the system's to U+" << unsigned{system};
        // The system's ordinal compare takes a unit and its fold for one.
        const auto w = static_cast<WCHAR>(unit), folded = static_cast<WCHAR>(FoldCase(c));
        if (CompareStringOrdinal(&w, 1, &folded, 1, TRUE) != CSTR_EQUAL && ++differing <= 10)
            ADD_FAILURE() << std::hex << "U+" << unit << " is not its fold to the system";
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace kelvorin::testing
