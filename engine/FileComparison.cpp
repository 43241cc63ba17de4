#include "engine/FileComparison.h"

#include "engine/Paths.h"

#include <cstring>

namespace kelvorin {

FileComparer::FileComparer(FileServices& files, std::size_t chunk)
    : files_(files), chunk_((chunk + kAlignment - 1) / kAlignment * kAlignment),
      sourceChunk_(chunk_),
      backupChunk_(static_cast<char*>(::operator new[](chunk_, std::align_val_t{kAlignment}))),
      reader_([this] { ReaderLoop(); }) {}

FileComparer::~FileComparer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

std::int64_t FileComparer::ReadFull(FileServices::Handle h, char* buffer, std::size_t n,
                                    bool uncached) {
    std::size_t got = 0;
    while (got < n) {
        const std::int64_t r =
            files_.ReadChunk(h, buffer + got, static_cast<std::int64_t>(n - got));
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
        if (uncached) break;
    }
    return static_cast<std::int64_t>(got);
}

std::uint32_t FileComparer::SectorSizeOf(const std::u16string& path) {
    if (!IsDrivePath(path)) return files_.SectorSize(path);
    std::optional<std::uint32_t>& known = sectorSizes_[DriveOf(path).Index()];
    if (!known) known = files_.SectorSize(path);
    return *known;
}

FileServices::Handle FileComparer::OpenBackup(const std::u16string& backup, bool& uncached) {
    const std::uint32_t sector = SectorSizeOf(backup);
    uncached = sector > 0 && kAlignment % sector == 0;
    if (uncached) return files_.OpenUncached(backup);
    // Sectors larger than the buffer's alignment: the cache it must be.
    return files_.OpenForReading(backup, Sharing::ReadersAllowed);
}

void FileComparer::ReaderLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return requested_ || stopping_; });
        if (stopping_) return;
        requested_ = false;
        const FileServices::Handle h = request_;
        lock.unlock();
        const std::int64_t n = ReadFull(h, sourceChunk_.data(), chunk_, false);
        lock.lock();
        answer_ = n;
        answered_ = true;
        changed_.notify_all();
    }
}

void FileComparer::StartSourceRead(FileServices::Handle h) {
    {
        std::lock_guard lock(mutex_);
        request_ = h;
        requested_ = true;
        answered_ = false;
    }
    changed_.notify_all();
}

std::int64_t FileComparer::WaitForSourceRead() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return answered_; });
    return answer_;
}

Comparison FileComparer::Compare(const std::u16string& source, const std::u16string& backup,
                                 std::uint64_t expectedSize,
                                 const std::function<bool(std::uint64_t)>& keepGoing) {
    // Read sharing: a check keeps no other reader out, nor is it kept out by one.
    OpenFile in(files_, files_.OpenForReading(source, Sharing::ReadersAllowed));
    if (!in.IsValid()) return Comparison::SourceUnreadable;
    bool uncached = false;
    OpenFile copy(files_, OpenBackup(backup, uncached));
    if (!copy.IsValid()) return Comparison::BackupUnreadable;

    std::uint64_t compared = 0;
    for (;;) {
        // A file within one chunk is read here alone: handing a read to the
        // other thread costs more than the read itself.
        const bool overlap = compared > 0 || expectedSize >= chunk_;
        if (overlap) StartSourceRead(in.Get());
        const std::int64_t b = ReadFull(copy.Get(), backupChunk_.get(), chunk_, uncached);
        const std::int64_t s =
            overlap ? WaitForSourceRead() : ReadFull(in.Get(), sourceChunk_.data(), chunk_, false);
        bytesRead_ +=
            static_cast<std::uint64_t>(s > 0 ? s : 0) + static_cast<std::uint64_t>(b > 0 ? b : 0);
        if (s < 0) return Comparison::SourceUnreadable;
        if (b < 0) return Comparison::BackupUnreadable;
        if (s != b ||
            std::memcmp(sourceChunk_.data(), backupChunk_.get(), static_cast<std::size_t>(s)) != 0)
            return Comparison::Differs;
        // A short chunk is the end of both files.
        if (static_cast<std::size_t>(s) < chunk_) return Comparison::Equal;
        compared += static_cast<std::uint64_t>(s);
        if (!keepGoing(compared)) return Comparison::Cancelled;
    }
}

} // namespace kelvorin
