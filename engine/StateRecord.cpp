#include "engine/StateRecord.h"

#include "engine/CopyRules.h"

#include <algorithm>

namespace kelvorin {
namespace {

// What the lines may take in memory before they go into the spool.
constexpr std::size_t kLinesInMemory = 16 << 20;
constexpr std::size_t kChunkBytes = 0x10000;

bool WriteAll(FileServices& files, FileServices::Handle h, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = static_cast<std::int64_t>(std::min(bytes.size(), kChunkBytes));
        if (files.WriteChunk(h, bytes.data(), n) != n) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::u16string FolderOf(std::u16string_view path) {
    return std::u16string(path.substr(0, path.rfind(u'\\')));
}

} // namespace

StateRecord::StateRecord(FileServices& files, std::u16string spoolPath, std::int64_t offset)
    : files_(files), spoolPath_(std::move(spoolPath)) {
    head_.offset = offset;
}

StateRecord::~StateRecord() {
    if (spool_ != FileServices::kInvalidHandle) files_.CloseFileHandle(spool_);
    if (spilled_ > 0) files_.DeleteOneFile(spoolPath_);
}

bool StateRecord::Cover(const std::u16string& setFolder) {
    if (std::any_of(head_.folders.begin(), head_.folders.end(),
                    [&](const ListedFolder& f) { return IsSamePath(f.path, setFolder); }))
        return false;
    head_.folders.push_back({setFolder, 0, 0});
    return true;
}

void StateRecord::Add(std::u16string_view source, const FileFacts& copy) {
    AppendFileLine(lines_, source, copy);
    ++count_;
    ListedFolder& folder = head_.folders.back();
    *folder.files += 1;
    *folder.bytes += copy.size;
    if (lines_.size() >= kLinesInMemory && !spoolPath_.empty()) Spill();
}

std::int64_t StateRecord::Bytes() const {
    constexpr std::int64_t kHeadMargin = 0x10000;
    return static_cast<std::int64_t>(spilled_ + lines_.size()) + kHeadMargin;
}

bool StateRecord::Spill() {
    if (spoolFailed_) return false;
    if (spool_ == FileServices::kInvalidHandle) {
        files_.MakeFolderChain(FolderOf(spoolPath_));
        spool_ = files_.CreateForWriting(spoolPath_, Sharing::Exclusive);
    }
    spoolFailed_ = spool_ == FileServices::kInvalidHandle || !WriteAll(files_, spool_, lines_);
    spilled_ += lines_.size();
    lines_.clear();
    return !spoolFailed_;
}

bool StateRecord::WriteListingBytes(FileServices::Handle out, std::u16string_view runName) {
    if (!WriteAll(files_, out, ListingHeadText(runName, head_))) return false;
    if (spilled_ > 0) {
        // The spool is read from its start through a handle of its own, and
        // stays until the record goes: a try after room was made needs it again.
        if (spool_ != FileServices::kInvalidHandle) {
            files_.CloseFileHandle(spool_);
            spool_ = FileServices::kInvalidHandle;
        }
        OpenFile in(files_, files_.OpenForReading(spoolPath_, Sharing::Exclusive));
        if (!in.IsValid()) return false;
        std::string chunk(kChunkBytes, '\0');
        std::uint64_t copied = 0;
        for (std::int64_t n; (n = files_.ReadChunk(in.Get(), chunk.data(), kChunkBytes)) != 0;) {
            if (n < 0 || !WriteAll(files_, out, std::string_view(chunk).substr(0, n))) return false;
            copied += static_cast<std::uint64_t>(n);
        }
        if (copied != spilled_) return false;
    }
    return WriteAll(files_, out, lines_) && WriteAll(files_, out, ListingEndText(count_)) &&
           files_.FlushToDrive(out);
}

bool StateRecord::WriteTo(const std::u16string& path, std::u16string_view runName) {
    fault_ = FileFault::Other;
    if (spoolFailed_) return false;
    const std::u16string partial = PartialCopyPath(path, 0);
    OpenFile out(files_, files_.CreateForWriting(partial, Sharing::Exclusive));
    if (!out.IsValid()) {
        fault_ = files_.LastFault();
        return false;
    }
    const bool written = WriteListingBytes(out.Get(), runName);
    if (!written) fault_ = files_.LastFault();
    out.Close();
    if (written && files_.RenameWithoutReplacing(partial, path)) return true;
    if (written) fault_ = files_.LastFault();
    files_.DeleteOneFile(partial);
    return false;
}

} // namespace kelvorin
