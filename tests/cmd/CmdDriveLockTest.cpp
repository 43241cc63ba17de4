// Two KelvorinCmd.exe on one stick take turns through the stick's lock, and a
// run killed while it holds the lock does not hold up the next.
#include "tests/support/Fixtures.h"
#include "tests/support/win32/ConsoleProgram.h"
#include "tests/support/win32/HostSide.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gmock/gmock.h>

#include <map>
#include <string>

namespace kelvorin::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr wchar_t kWaitingLine[] = L"Wartet auf einen anderen Lauf auf A: ...";
constexpr wchar_t kPartialTail[] = L"~Kelvorin-Teilkopie.tmp";

// Every file below the folder, by its path below it, with its size.
std::map<std::wstring, std::uint64_t> FilesBelow(const std::wstring& folder) {
    std::map<std::wstring, std::uint64_t> files;
    ForEachFileBelow(folder, [&](const std::wstring& below, const WIN32_FIND_DATAW& entry) {
        files[below] = (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
    });
    return files;
}

bool HasPartialCopy(const std::wstring& folder) {
    for (const auto& [path, size] : FilesBelow(folder))
        if (path.ends_with(kPartialTail)) return true;
    return false;
}

// A stick of its own (A:), so that runs of tests in other processes on the
// shared target never make these wait. The source holds a file large enough
// that a run copies it for a while: long enough for a second run to start.
class CmdDriveLock : public DriveTest {
protected:
    void SetUp() override {
        DriveTest::SetUp();
        const std::wstring source = Source();
        WriteTextFile(SetFile(), "Laufwerk=" + std::to_string(L'A' - L'A') +
                                     "\r\nSynchron=TRUE\r\nOrdner=" +
                                     std::string(source.begin(), source.end()) + "\r\n");
        WriteTextFile(Source(L"Brief.txt"), "Brief");
        WriteTextFile(Source(L"Fotos\\Bild.jpg"), "Bild");
        // Sparse: made at once, read as zeros.
        const UniqueFile big(CreateFileW(Source(L"Gross.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(big);
        LARGE_INTEGER size;
        size.QuadPart = kBigFileBytes;
        ASSERT_TRUE(SetFilePointerEx(big.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(big.get()));
    }
    void TearDown() override {
        DeleteFileW(SetFile().c_str());
        DeleteFileW(Source(L"Gross.bin").c_str());
        DriveTest::TearDown();
    }

    std::wstring SetFile() const {
        return std::wstring(1, DocsDrive()) + L":\\Dokumente\\" + FolderName() + L".ini";
    }
    std::wstring Backup() const { return stick_.Path(FolderName()); }

    std::unique_ptr<StartedProgram> Start() {
        return std::make_unique<StartedProgram>(
            L"\"" + WinePathOfHostFile(KELVORIN_CMD_EXE) + L"\" \"" + SetFile() + L"\"",
            Target(L"..\\" + FolderName() + std::to_wstring(++runs_)));
    }
    // Returns once the run writes the large file's partial copy: it holds the stick.
    bool CopyUnderWay() const {
        for (int i = 0; i < 30000; ++i) {
            if (HasPartialCopy(Backup())) return true;
            Sleep(1);
        }
        return false;
    }
    void ExpectExactMirror() const {
        EXPECT_EQ(FilesBelow(Backup()), FilesBelow(Source())) << "exact, no partial copy";
        EXPECT_EQ(ReadWholeFile(Backup() + L"\\Brief.txt"), "Brief");
    }

    static constexpr std::int64_t kBigFileBytes = std::int64_t{768} << 20;
    ExtraDrive stick_{L'A'};
    int runs_ = 0;
};

TEST_F(CmdDriveLock, ASecondRunWaitsUntilTheFirstHasEndedAndBothEndWell) {
    const auto first = Start();
    ASSERT_TRUE(CopyUnderWay());
    const auto second = Start();
    const ConsoleResult firstResult = first->Result();
    const ConsoleResult secondResult = second->Result();

    EXPECT_EQ(firstResult.exitCode, 0u) << Narrow(firstResult.err);
    EXPECT_EQ(secondResult.exitCode, 0u) << Narrow(secondResult.err);
    EXPECT_THAT(secondResult.err, HasSubstr(kWaitingLine));
    EXPECT_THAT(firstResult.err, Not(HasSubstr(L"Wartet")));
    EXPECT_THAT(secondResult.out, ::testing::Contains(L"OK"));
    ExpectExactMirror();
}

TEST_F(CmdDriveLock, ARunKilledWhileItHoldsTheStickDoesNotHoldUpTheNext) {
    const auto killed = Start();
    ASSERT_TRUE(CopyUnderWay());
    killed->Kill();
    ASSERT_TRUE(HasPartialCopy(Backup())) << "killed in the middle of the copy";

    const ConsoleResult next = Start()->Result();
    EXPECT_EQ(next.exitCode, 0u) << Narrow(next.err);
    EXPECT_THAT(next.err, Not(HasSubstr(L"Wartet")));
    ExpectExactMirror();
}

} // namespace
} // namespace kelvorin::testing
