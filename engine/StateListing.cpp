#include "engine/StateListing.h"

#include "engine/CopyRules.h"
#include "set/Text16.h"
#include "set/Utf8.h"

#include <charconv>
#include <iterator>

namespace kelvorin {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kHeadLine[] = "# Kelvorin: Stand nach dem Lauf ";
constexpr std::string_view kFolderLine = "Ordner\t";
constexpr std::string_view kFileLine = "Datei\t";
constexpr std::string_view kEndLine = "Ende\t";
constexpr std::string_view kLineEnd = "\r\n";
// What the lines may take in memory before they go into the spool.
constexpr std::size_t kLinesInMemory = 16 << 20;
constexpr std::size_t kChunkBytes = 0x10000;

std::optional<std::uint64_t> Whole(std::string_view digits) {
    std::uint64_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return n;
}

bool WriteAll(FileServices& files, FileServices::Handle h, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = static_cast<std::int64_t>(std::min(bytes.size(), kChunkBytes));
        if (files.WriteChunk(h, bytes.data(), n) != n) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

void AppendStampText(std::string& out, DosStamp stamp) {
    const auto v = static_cast<std::uint32_t>(stamp);
    const unsigned year = 1980 + (v >> 25);
    const unsigned parts[] = {(v >> 21) & 15, (v >> 16) & 31, (v >> 11) & 31, (v >> 5) & 63,
                              (v & 31) * 2};
    char text[] = "0000-00-00 00:00:00";
    text[0] = static_cast<char>('0' + year / 1000);
    text[1] = static_cast<char>('0' + year / 100 % 10);
    text[2] = static_cast<char>('0' + year / 10 % 10);
    text[3] = static_cast<char>('0' + year % 10);
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        text[5 + 3 * i] = static_cast<char>('0' + parts[i] / 10 % 10);
        text[6 + 3 * i] = static_cast<char>('0' + parts[i] % 10);
    }
    out.append(text, sizeof text - 1);
}

std::u16string StampText(DosStamp stamp) {
    std::string text;
    AppendStampText(text, stamp);
    return {text.begin(), text.end()};
}

std::optional<DosStamp> StampFromText(std::u16string_view text) {
    const auto fields = DateTimeFields(text, u"0000-00-00 00:00:00");
    if (!fields) return std::nullopt;
    const auto [year, month, day, hour, minute, second] = *fields;
    // Any value of a stamp's fields comes back as it was written: a stamp is
    // compared, never taken for a date.
    if (year < 1980 || year > 2107 || month > 15 || day > 31 || hour > 31 || minute > 63 ||
        second > 62 || second % 2 != 0)
        return std::nullopt;
    const auto field = [](int n) { return static_cast<std::uint32_t>(n); };
    return static_cast<DosStamp>((field(year - 1980) << 25) | (field(month) << 21) |
                                 (field(day) << 16) | (field(hour) << 11) | (field(minute) << 5) |
                                 field(second / 2));
}

std::optional<StateListing> ParseListing(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(3);
    StateListing listing;
    bool ended = false;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(kLineEnd);
        if (end == std::string_view::npos || ended) return std::nullopt;
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + kLineEnd.size());
        if (line.starts_with('#')) continue;
        if (line.starts_with(kFolderLine)) {
            auto folder = FromUtf8(line.substr(kFolderLine.size()));
            if (!folder || folder->empty()) return std::nullopt;
            listing.folders.push_back(std::move(*folder));
        } else if (line.starts_with(kFileLine)) {
            std::string_view rest = line.substr(kFileLine.size());
            const std::size_t tab1 = rest.find('\t');
            const std::size_t tab2 =
                tab1 == std::string_view::npos ? tab1 : rest.find('\t', tab1 + 1);
            if (tab2 == std::string_view::npos) return std::nullopt;
            const auto size = Whole(rest.substr(0, tab1));
            const auto stampText = FromUtf8(rest.substr(tab1 + 1, tab2 - tab1 - 1));
            const auto stamp = stampText ? StampFromText(*stampText) : std::nullopt;
            auto source = FromUtf8(rest.substr(tab2 + 1));
            if (!size || !stamp || !source || source->empty()) return std::nullopt;
            listing.files.push_back({std::move(*source), {*stamp, *size}});
        } else if (line.starts_with(kEndLine)) {
            const auto count = Whole(line.substr(kEndLine.size()));
            if (!count || *count != listing.files.size()) return std::nullopt;
            ended = true;
        } else {
            return std::nullopt;
        }
    }
    if (!ended) return std::nullopt;
    return listing;
}

std::optional<StateListing> ReadListing(FileServices& files, const std::u16string& path) {
    OpenFile in(files, files.OpenForReading(path, Sharing::ReadersAllowed));
    if (!in.IsValid()) return std::nullopt;
    std::string bytes;
    std::string chunk(kChunkBytes, '\0');
    for (;;) {
        const std::int64_t n = files.ReadChunk(in.Get(), chunk.data(), kChunkBytes);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        bytes.append(chunk, 0, static_cast<std::size_t>(n));
    }
    return ParseListing(bytes);
}

StateRecord::~StateRecord() {
    if (spool_ == FileServices::kInvalidHandle) return;
    files_.CloseFileHandle(spool_);
    files_.DeleteOneFile(spoolPath_);
}

void StateRecord::Add(const std::u16string& source, FileFacts copy) {
    // A line for every file of every run, whether it writes a listing or not:
    // made without a string of its own on the way.
    char number[24];
    const auto size = std::to_chars(number, number + sizeof number, copy.size).ptr;
    lines_ += kFileLine;
    lines_.append(number, size);
    lines_ += '\t';
    AppendStampText(lines_, copy.stamp);
    lines_ += '\t';
    AppendUtf8(lines_, source);
    lines_ += kLineEnd;
    ++count_;
    if (lines_.size() >= kLinesInMemory) Spill();
}

std::int64_t StateRecord::Bytes() const {
    constexpr std::int64_t kHeadMargin = 0x10000;
    return static_cast<std::int64_t>(spilled_ + lines_.size()) + kHeadMargin;
}

bool StateRecord::Spill() {
    if (spoolFailed_) return false;
    if (spool_ == FileServices::kInvalidHandle)
        spool_ = files_.CreateForWriting(spoolPath_, Sharing::Exclusive);
    spoolFailed_ = spool_ == FileServices::kInvalidHandle || !WriteAll(files_, spool_, lines_);
    spilled_ += lines_.size();
    lines_.clear();
    return !spoolFailed_;
}

bool StateRecord::WriteListingBytes(FileServices::Handle out, std::u16string_view runName) {
    std::string head = kByteOrderMark;
    head += kHeadLine + ToUtf8(runName) + std::string(kLineEnd);
    for (const std::u16string& folder : folders_)
        head += std::string(kFolderLine) + ToUtf8(folder) + std::string(kLineEnd);
    if (!WriteAll(files_, out, head)) return false;
    if (spool_ != FileServices::kInvalidHandle) {
        // The spool is read back from its start through a handle of its own.
        files_.CloseFileHandle(spool_);
        spool_ = FileServices::kInvalidHandle;
        OpenFile in(files_, files_.OpenForReading(spoolPath_, Sharing::Exclusive));
        if (!in.IsValid()) return false;
        std::string chunk(kChunkBytes, '\0');
        for (std::int64_t n; (n = files_.ReadChunk(in.Get(), chunk.data(), kChunkBytes)) != 0;)
            if (n < 0 || !WriteAll(files_, out, std::string_view(chunk).substr(0, n))) return false;
        in.Close();
        files_.DeleteOneFile(spoolPath_);
    }
    return WriteAll(files_, out, lines_) &&
           WriteAll(files_, out,
                    std::string(kEndLine) + std::to_string(count_) + std::string(kLineEnd)) &&
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
