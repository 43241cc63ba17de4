#pragma once
// Two files compared byte for byte. The source is read on a thread of its own
// while the backup is read here: on Windows the two usually lie on different
// devices, so the comparison costs the slower of the two reads, not their sum.
// The backup is read past the system's cache: right after a run the cache
// still holds the new copies, and a check must read what the stick holds.
#include "engine/FileServices.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kelvorin {

enum class Comparison { Equal, Differs, BackupUnreadable, SourceUnreadable, Cancelled };

class FileComparer {
public:
    // chunk: the bytes read from each file at a time; memory is two chunks,
    // whatever the size of the files.
    explicit FileComparer(FileServices& files, std::size_t chunk = std::size_t{1} << 20);
    ~FileComparer();
    FileComparer(const FileComparer&) = delete;
    FileComparer& operator=(const FileComparer&) = delete;

    // expectedSize: the source's size as the walk saw it; only how the files
    // are read depends on it. keepGoing is asked after each full chunk, with
    // the source's bytes compared so far; false ends the comparison as Cancelled.
    Comparison Compare(const std::u16string& source, const std::u16string& backup,
                       std::uint64_t expectedSize,
                       const std::function<bool(std::uint64_t)>& keepGoing);
    // Bytes read from both files, by every comparison so far.
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    // Reads up to n bytes, fewer only at the end of the file; -1 on an error.
    // An uncached read that comes back short is the end: reading on from an
    // offset that is no sector's start would fail.
    std::int64_t ReadFull(FileServices::Handle h, char* buffer, std::size_t n, bool uncached);
    // The backup's handle: uncached where the volume's sectors fit the chunk.
    FileServices::Handle OpenBackup(const std::u16string& backup, bool& uncached);
    // Asking the volume costs about as much as opening a small file under
    // Wine, and a check opens thousands: each drive is asked once.
    std::uint32_t SectorSizeOf(const std::u16string& path);
    void ReaderLoop();
    void StartSourceRead(FileServices::Handle h);
    std::int64_t WaitForSourceRead();

    FileServices& files_;
    // Aligned for reads past the cache; the chunk is a multiple of the sector.
    static constexpr std::size_t kAlignment = 4096;
    struct AlignedFree {
        void operator()(char* p) const { ::operator delete[](p, std::align_val_t{kAlignment}); }
    };
    std::size_t chunk_;
    std::vector<char> sourceChunk_;
    std::unique_ptr<char[], AlignedFree> backupChunk_;
    std::uint64_t bytesRead_ = 0;
    std::array<std::optional<std::uint32_t>, 26> sectorSizes_; // by drive index

    std::mutex mutex_;
    std::condition_variable changed_;
    FileServices::Handle request_ = FileServices::kInvalidHandle;
    bool requested_ = false, answered_ = false, stopping_ = false;
    std::int64_t answer_ = 0;
    std::thread reader_; // last: it starts once everything above is made
};

} // namespace kelvorin
