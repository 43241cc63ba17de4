#include "engine/FileCopy.h"

namespace kelvorin {
namespace {

// Large enough that a call costs little beside the bytes it moves.
constexpr std::size_t kCopyChunkBytes = 0x10000;

} // namespace

CopyOutcome FileCopier::Copy(FileServices::Handle in, FileServices::Handle out,
                             std::uint64_t& bytes, const std::function<bool(std::uint64_t)>& goOn) {
    buffer_.resize(kCopyChunkBytes);
    for (;;) {
        const std::int64_t n = files_.ReadChunk(in, buffer_.data(), kCopyChunkBytes);
        // A failed read is no end of file: the copy would pass for whole.
        if (n < 0) return CopyOutcome::Failed;
        if (n == 0) return CopyOutcome::Copied;
        if (const std::int64_t written = files_.WriteChunk(out, buffer_.data(), n); written != n) {
            // A full drive may first take part of a chunk, then fail.
            return written >= 0 || files_.LastFault() == FileFault::DriveFull
                       ? CopyOutcome::DriveFull
                       : CopyOutcome::Failed;
        }
        bytes += static_cast<std::uint64_t>(n);
        if (!goOn(bytes)) return CopyOutcome::Cancelled;
    }
}

} // namespace kelvorin
