#pragma once
// The one loop that moves a file's bytes, for a run's copies and a restore's.
#include "engine/FileServices.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kelvorin {

// How a copy of one file ended. A copy stopped by a close request is no
// failure: the status says "Abbruch".
enum class CopyOutcome { Copied, Failed, DriveFull, Cancelled };

class FileCopier {
public:
    explicit FileCopier(FileServices& files) : files_(files) {}

    // Every byte from `in` to `out`, counted in `bytes`. After each chunk
    // `goOn` is asked with the bytes so far: a large file on a slow stick
    // takes minutes, and a close request ends it (Cancelled).
    CopyOutcome Copy(FileServices::Handle in, FileServices::Handle out, std::uint64_t& bytes,
                     const std::function<bool(std::uint64_t)>& goOn);

private:
    FileServices& files_;
    std::vector<unsigned char> buffer_; // one chunk, reused from file to file
};

} // namespace kelvorin
