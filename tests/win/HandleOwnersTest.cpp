#include "win32/Handles.h"

#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

#include <functional>

namespace kelvorin::testing {
namespace {

class HandleOwnersTest : public DriveTest {
protected:
    // Opened with no sharing: while any handle to it is open, another open fails.
    UniqueFile OpenAlone(const std::wstring& path) {
        return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    bool IsHeld(const std::wstring& path) {
        const UniqueFile probe(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
    }
};

// Each making call's failure value must read as empty, or a failed open would
// pass for an open one (and its value be released).
TEST_F(HandleOwnersTest, AFailedMakingCallLeavesTheOwnerEmpty) {
    const std::wstring missing = Source(L"fehlt\\nichts.txt");
    WIN32_FIND_DATAW data;
    const struct {
        const char* call;
        std::function<bool()> ownerIsEmpty;
    } cases[] = {
        {"CreateFileW",
         [&] {
             return !UniqueFile(CreateFileW(missing.c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         }},
        {"FindFirstFileW",
         [&] { return !UniqueFolderListing(FindFirstFileW(missing.c_str(), &data)); }},
        {"OpenMutexW",
         [] {
             return !UniqueKernelObject(
                 OpenMutexW(SYNCHRONIZE, FALSE, L"Kelvorin.Tests.NoSuchMutex"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_TRUE(c.ownerIsEmpty());
    }
    // The other way round: a file that opens is held, not taken for a failure.
    WriteTextFile(Source(L"da.txt"), "da");
    const UniqueFile file = OpenAlone(Source(L"da.txt"));
    EXPECT_TRUE(file);
    EXPECT_TRUE(IsHeld(Source(L"da.txt")));
}

// A moved-from owner must not close what it handed on, and an owner that takes
// another handle must close the one it had.
TEST_F(HandleOwnersTest, AFileIsHeldUntilItsLastOwnerGoesAndClosedOnce) {
    const std::wstring first = Source(L"erste.txt"), second = Source(L"zweite.txt");
    WriteTextFile(first, "1");
    WriteTextFile(second, "2");

    UniqueFile kept;
    {
        UniqueFile opened = OpenAlone(first);
        ASSERT_TRUE(opened);
        kept = std::move(opened);
        EXPECT_FALSE(opened);
    }
    EXPECT_TRUE(IsHeld(first)) << "the moved-from owner closed the handle it gave away";

    UniqueFile other = OpenAlone(second);
    ASSERT_TRUE(other);
    kept = std::move(other);
    EXPECT_FALSE(IsHeld(first)) << "the owner kept its previous handle open";
    EXPECT_TRUE(IsHeld(second));

    UniqueFile moved(std::move(kept));
    kept.reset();
    EXPECT_TRUE(IsHeld(second)) << "resetting a moved-from owner closed the handle";
    moved.reset();
    EXPECT_FALSE(IsHeld(second));
}

} // namespace
} // namespace kelvorin::testing
