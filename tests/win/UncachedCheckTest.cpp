// The check reads the backup past the system's cache, in whole sectors into
// aligned buffers, and still compares files of every length exactly. Under
// Wine the flag may change nothing, so the test looks at what the file
// services are asked for, and at the answers on the real file system.
#include "engine/FileComparison.h"
#include "engine/win32/Win32FileServices.h"
#include "tests/support/ForwardingFileServices.h"
#include "tests/support/win32/ScratchDrives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace kelvorin::testing {
namespace {

// Notes which opens the comparison makes, and every uncached read that is
// not in whole sectors into an aligned buffer.
class OpenRecorder : public ForwardingFileServices {
public:
    using ForwardingFileServices::ForwardingFileServices;
    Handle OpenForReading(std::u16string_view path, Sharing sharing) override {
        cached.emplace(path);
        return ForwardingFileServices::OpenForReading(path, sharing);
    }
    Handle OpenUncached(std::u16string_view path) override {
        uncachedPaths.emplace(path);
        sector = SectorSize(path);
        const Handle h = ForwardingFileServices::OpenUncached(path);
        uncachedHandles.insert(h);
        return h;
    }
    std::int64_t ReadChunk(Handle h, void* buffer, std::int64_t n) override {
        if (uncachedHandles.contains(h) &&
            (sector == 0 || n % sector != 0 || reinterpret_cast<std::uintptr_t>(buffer) % sector))
            ++misalignedReads;
        return ForwardingFileServices::ReadChunk(h, buffer, n);
    }
    void CloseFileHandle(Handle h) override {
        uncachedHandles.erase(h);
        ForwardingFileServices::CloseFileHandle(h);
    }

    std::set<std::u16string> cached, uncachedPaths;
    std::set<Handle> uncachedHandles;
    std::uint32_t sector = 0;
    int misalignedReads = 0;
};

class UncachedCheck : public DriveTest {};

TEST_F(UncachedCheck, ReadsTheBackupPastTheCacheAndComparesEveryLengthExactly) {
    Win32FileServices real;
    ASSERT_GT(real.SectorSize(U16(Target())), 0u) << "the volume tells its sector size";
    OpenRecorder files(real);
    FileComparer comparer(files);
    const auto compare = [&](const std::wstring& name, std::uint64_t size) {
        return comparer.Compare(U16(Source(name)), U16(Target(name)), size,
                                [](std::uint64_t) { return true; });
    };
    constexpr std::size_t kMiB = 1 << 20;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{511}, std::size_t{512}, std::size_t{4095},
          std::size_t{4097}, kMiB - 1, kMiB, kMiB + 1, 3 * kMiB + 7}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 7 + i / 251);
        const std::wstring name = L"f" + std::to_wstring(size) + L".bin";
        WriteTextFile(Source(name), bytes);
        WriteTextFile(Target(name), bytes);
        EXPECT_EQ(compare(name, size), Comparison::Equal);
        if (size > 0) {
            std::string last = bytes;
            last.back() ^= 1;
            WriteTextFile(Target(name), last);
            EXPECT_EQ(compare(name, size), Comparison::Differs) << "the last byte differs";
            WriteTextFile(Target(name), bytes.substr(0, size - 1));
            EXPECT_EQ(compare(name, size), Comparison::Differs) << "one byte short";
        }
        WriteTextFile(Target(name), bytes + "x");
        EXPECT_EQ(compare(name, size), Comparison::Differs) << "one byte longer";
        EXPECT_TRUE(files.uncachedPaths.contains(U16(Target(name))));
        EXPECT_FALSE(files.cached.contains(U16(Target(name))));
        EXPECT_TRUE(files.cached.contains(U16(Source(name)))) << "the source is read as always";
    }
    EXPECT_EQ(files.misalignedReads, 0);
}

} // namespace
} // namespace kelvorin::testing
