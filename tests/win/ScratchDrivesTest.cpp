#include "tests/support/win32/ScratchDrives.h"

namespace kelvorin::testing {
namespace {

using ScratchDrives = DriveTest;

// The runner's drives are real Wine drives: listed, with a volume, and writable.
TEST_F(ScratchDrives, AreMappedAsDrivesAndStartClean) {
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter : {SourceDrive(), TargetDrive(), SmallDrive(), DocsDrive()})
        EXPECT_TRUE(mask & (1u << (letter - L'A')))
            << "drive " << char(letter) << ": is not mapped";

    EXPECT_TRUE(FolderExists(Source()));
    EXPECT_TRUE(FolderExists(Target()));
    WriteTextFile(Source(L"a\\b.txt"), "x");
    EXPECT_EQ(ReadWholeFile(Source(L"a\\b.txt")), "x");
    EXPECT_FALSE(FileExists(Target(L"a\\b.txt")));
}

} // namespace
} // namespace kelvorin::testing
