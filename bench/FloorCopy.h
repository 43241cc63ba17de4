#pragma once
// The fail-safe copy of the floor programs, up to its rename: the least a Win32
// program does so that no half-written file ever bears a final name.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorin::bench {

class PartialCopier {
public:
    // flush: each partial copy is flushed after its last byte and its stamp,
    // before it is closed, as the run does so that a copy survives a pulled
    // stick.
    PartialCopier(DWORD bufferSize, bool flush)
        : buffer_(std::make_unique<unsigned char[]>(bufferSize)), size_(bufferSize), flush_(flush) {
    }

    // Writes the source to the partial path with the source's stamp and closes
    // both; false (the partial removed) on any failure. bytes: what was copied.
    bool Write(const std::wstring& source, const std::wstring& partial, std::uint64_t& bytes);

private:
    std::unique_ptr<unsigned char[]> buffer_;
    DWORD size_;
    bool flush_;
};

// The folder and every missing one above it; true when it exists afterwards.
bool MakeFolderChain(const std::wstring& folder);

} // namespace kelvorin::bench
