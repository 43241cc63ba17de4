#include "engine/ListingFormat.h"

#include "engine/Calendar.h"
#include "engine/Paths.h"
#include "set/PathOrder.h"
#include "set/Text16.h"
#include "set/Utf8.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kelvorin {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeadLine = "# Kelvorin: Stand nach dem Lauf ";
constexpr std::string_view kOffsetLine = "Versatz\t";
constexpr std::string_view kFolderLine = "Ordner\t";
constexpr std::string_view kGapLine = "L\xC3\xBC"
                                      "cke\t";
constexpr std::string_view kFileLine = "Datei\t";
constexpr std::string_view kEndLine = "Ende\t";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kChunkBytes = 0x10000;
// No line of a listing is longer: a path takes at most 32,767 units.
constexpr std::size_t kLongestLine = 0x30000;
constexpr std::int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr std::int64_t kLargestOffsetMinutes = 24 * 60;

std::optional<std::uint64_t> Number(std::string_view digits) {
    // No more digits than the largest count has: the end line then always
    // fits the few bytes that ReadListingEnd reads.
    constexpr std::size_t kMostDigits = 20;
    if (digits.size() > kMostDigits) return std::nullopt;
    std::uint64_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return n;
}

// The fields of a line after its key, split at tabs; nullopt unless there are `count`.
template <std::size_t count>
std::optional<std::array<std::string_view, count>> Fields(std::string_view rest) {
    std::array<std::string_view, count> fields;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t tab = rest.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        fields[i] = rest.substr(0, tab);
        rest.remove_prefix(tab + 1);
    }
    fields[count - 1] = rest;
    return fields;
}

// A path as a listing names it; the walk of a drive root wrote "D:\\Daten".
std::optional<std::u16string> PathField(std::string_view bytes) {
    const auto path = FromUtf8(bytes);
    if (!path) return std::nullopt;
    std::u16string single = SingleBackslashes(*path);
    if (!IsPlainPath(single)) return std::nullopt;
    return single;
}

// A local stamp of the first format, "2026-12-01 10:00:00". Any value of a
// stamp's fields comes back as it was written: a stamp is compared, never
// taken for a date.
std::optional<DosStamp> LocalStampFromText(std::u16string_view text) {
    const auto fields = DateTimeFields(text, u"0000-00-00 00:00:00");
    if (!fields) return std::nullopt;
    const auto [year, month, day, hour, minute, second] = *fields;
    if (year < 1980 || year > 2107 || month > 15 || day > 31 || hour > 31 || minute > 63 ||
        second > 62 || second % 2 != 0)
        return std::nullopt;
    const auto field = [](int n) { return static_cast<std::uint32_t>(n); };
    return static_cast<DosStamp>((field(year - 1980) << 25) | (field(month) << 21) |
                                 (field(day) << 16) | (field(hour) << 11) | (field(minute) << 5) |
                                 field(second / 2));
}

void AppendLocalStampText(std::string& out, DosStamp stamp) {
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

bool IsDeviceName(std::u16string_view name) {
    // Windows takes "CON", "con.txt" and "Nul " for the device, in any folder.
    name = name.substr(0, name.find(u'.'));
    while (!name.empty() && name.back() == u' ')
        name.remove_suffix(1);
    std::u16string upper(name);
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    static constexpr std::u16string_view kDevices[] = {u"CON", u"PRN",    u"AUX",
                                                       u"NUL", u"CONIN$", u"CONOUT$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), upper) != std::end(kDevices))
        return true;
    if (upper.size() != 4 || !(upper.starts_with(u"COM") || upper.starts_with(u"LPT")))
        return false;
    const char16_t n = upper[3];
    return (n >= u'0' && n <= u'9') || n == u'\u00B9' || n == u'\u00B2' || n == u'\u00B3';
}

bool IsPlainName(std::u16string_view name) {
    if (name.empty() || name.back() == u'.' || name.back() == u' ') return false;
    for (const char16_t c : name)
        if (c < 0x20 || std::u16string_view(u"<>:\"/|?*").find(c) != std::u16string_view::npos)
            return false;
    return !IsDeviceName(name);
}

} // namespace

bool IsPlainPath(std::u16string_view path) {
    // A drive's root has no parts below it.
    return IsDrivePath(path) && (path.size() == 3 || IsPlainRelativePath(path.substr(3)));
}

bool IsPlainRelativePath(std::u16string_view parts) {
    for (;;) {
        const std::size_t slash = parts.find(u'\\');
        if (!IsPlainName(parts.substr(0, slash))) return false;
        if (slash == std::u16string_view::npos) return true;
        parts.remove_prefix(slash + 1);
    }
}

bool LiesIn(std::u16string_view path, std::u16string_view folder) {
    while (folder.ends_with(u'\\'))
        folder.remove_suffix(1);
    if (path.size() < folder.size() || !SameFolded(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == u'\\';
}

std::string ListingHeadText(std::u16string_view runName, const ListingHead& head) {
    std::string text(kByteOrderMark);
    text += kHeadLine;
    AppendUtf8(text, runName);
    text += kLineEnd;
    const std::int64_t minutes = head.offset / kTicksPerMinute;
    text += kOffsetLine;
    text += minutes < 0 ? '-' : '+';
    text += std::to_string(minutes < 0 ? -minutes : minutes);
    text += kLineEnd;
    for (const ListedFolder& folder : head.folders) {
        text += kFolderLine;
        text += std::to_string(folder.files.value_or(0)) + '\t' +
                std::to_string(folder.bytes.value_or(0)) + '\t';
        AppendUtf8(text, folder.path);
        text += kLineEnd;
    }
    for (const std::u16string& gap : head.gaps) {
        text += kGapLine;
        AppendUtf8(text, SingleBackslashes(gap));
        text += kLineEnd;
    }
    return text;
}

void AppendFileLine(std::string& out, std::u16string_view source, const FileFacts& copy) {
    // A line for every file of every run, whether it writes a listing or not:
    // made without a string of its own on the way.
    char number[24];
    const auto size = std::to_chars(number, number + sizeof number, copy.size).ptr;
    out += kFileLine;
    out.append(number, size);
    out += '\t';
    if (copy.time != kNoFileTime)
        AppendFileTimeText(out, copy.time);
    else
        AppendLocalStampText(out, copy.stamp);
    out += '\t';
    // The walk of a drive root joins "D:\" and "\Daten".
    if (source.size() > 3 && source[2] == u'\\' && source[3] == u'\\') {
        AppendUtf8(out, source.substr(0, 3));
        source.remove_prefix(4);
    }
    AppendUtf8(out, source);
    out += kLineEnd;
}

std::string ListingEndText(std::uint64_t count) {
    return std::string(kEndLine) + std::to_string(count) + std::string(kLineEnd);
}

ListingReader::ListingReader(FileServices& files, const std::u16string& path)
    : files_(files), in_(files, files.OpenForReading(path, Sharing::ReadersAllowed)) {
    failed_ = !in_.IsValid();
}

bool ListingReader::Fail() {
    failed_ = true;
    return false;
}

bool ListingReader::ReadLine(std::string_view& line) {
    for (;;) {
        if (failed_) return false;
        const std::size_t end = buffer_.find(kLineEnd, start_);
        if (end != std::string::npos) {
            line = std::string_view(buffer_).substr(start_, end - start_);
            start_ = end + kLineEnd.size();
            return true;
        }
        // A last line without its end: cut short, or no listing.
        if (eof_) return start_ == buffer_.size() ? false : Fail();
        if (buffer_.size() - start_ > kLongestLine) return Fail();
        buffer_.erase(0, start_);
        start_ = 0;
        const std::size_t had = buffer_.size();
        buffer_.resize(had + kChunkBytes);
        const std::int64_t n = files_.ReadChunk(in_.Get(), buffer_.data() + had,
                                                static_cast<std::int64_t>(kChunkBytes));
        if (n < 0) return Fail();
        buffer_.resize(had + static_cast<std::size_t>(n));
        eof_ = n == 0;
    }
}

std::optional<ListingHead> ListingReader::ReadHead() {
    std::string_view line;
    bool first = true;
    while (ReadLine(line)) {
        if (first && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
        first = false;
        if (line.starts_with('#')) continue;
        if (line.starts_with(kOffsetLine)) {
            std::string_view number = line.substr(kOffsetLine.size());
            const bool negative = number.starts_with('-');
            if (!negative && !number.starts_with('+')) return std::nullopt;
            const auto minutes = Number(number.substr(1));
            if (!minutes || *minutes > kLargestOffsetMinutes) return std::nullopt;
            head_.offset = static_cast<std::int64_t>(*minutes) * kTicksPerMinute;
            if (negative) head_.offset = -head_.offset;
        } else if (line.starts_with(kFolderLine)) {
            const std::string_view rest = line.substr(kFolderLine.size());
            ListedFolder folder;
            if (const auto fields = Fields<3>(rest)) {
                folder.files = Number((*fields)[0]);
                folder.bytes = Number((*fields)[1]);
                const auto path = PathField((*fields)[2]);
                if (!folder.files || !folder.bytes || !path) return std::nullopt;
                folder.path = *path;
            } else {
                const auto path = PathField(rest);
                if (!path) return std::nullopt;
                folder.path = *path;
            }
            head_.folders.push_back(std::move(folder));
        } else if (line.starts_with(kGapLine)) {
            const auto gap = PathField(line.substr(kGapLine.size()));
            if (!gap || std::none_of(head_.folders.begin(), head_.folders.end(),
                                     [&](const ListedFolder& f) { return LiesIn(*gap, f.path); }))
                return std::nullopt;
            head_.gaps.push_back(*gap);
        } else if (line.starts_with(kFileLine) || line.starts_with(kEndLine)) {
            // A listing that covers no folder offers nothing.
            if (head_.folders.empty()) return std::nullopt;
            pending_ = line;
            hasPending_ = true;
            return head_;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool ListingReader::Next(ListedFile& file) {
    std::string_view line;
    if (hasPending_) {
        hasPending_ = false;
        line = pending_;
    } else if (!ReadLine(line)) {
        return false;
    }
    if (line.starts_with(kEndLine)) {
        const auto count = Number(line.substr(kEndLine.size()));
        std::string_view after;
        whole_ = count && *count == count_ && !ReadLine(after) && !failed_;
        return false;
    }
    if (!line.starts_with(kFileLine)) return Fail();
    const auto fields = Fields<3>(line.substr(kFileLine.size()));
    if (!fields) return Fail();
    const auto size = Number((*fields)[0]);
    const auto stampText = FromUtf8((*fields)[1]);
    auto source = PathField((*fields)[2]);
    // A file lies below a folder: a line naming the folder itself names no file.
    if (!size || !stampText || !source ||
        std::none_of(head_.folders.begin(), head_.folders.end(),
                     [&](const ListedFolder& f) { return LiesBelow(*source, f.path); }))
        return Fail();
    if (const auto time = FileTimeFromText(*stampText)) {
        file.copy = {*size, *time, StampOfFileTime(*time, head_.offset)};
    } else if (const auto stamp = LocalStampFromText(*stampText)) {
        file.copy = {*size, kNoFileTime, *stamp};
    } else {
        return Fail();
    }
    file.source = std::move(*source);
    ++count_;
    return true;
}

std::optional<std::uint64_t> ReadListingEnd(FileServices& files, const std::u16string& path) {
    constexpr std::int64_t kTail = 48;
    OpenFile in(files, files.OpenForReading(path, Sharing::ReadersAllowed));
    if (!in.IsValid()) return std::nullopt;
    const std::int64_t size = files.HandleSize(in.Get());
    if (size < 0 || !files.SeekTo(in.Get(), std::max<std::int64_t>(0, size - kTail)))
        return std::nullopt;
    std::string tail(static_cast<std::size_t>(kTail), '\0');
    std::int64_t got = 0;
    for (std::int64_t n;
         got < kTail && (n = files.ReadChunk(in.Get(), tail.data() + got, kTail - got)) > 0;)
        got += n;
    tail.resize(static_cast<std::size_t>(got));
    if (!tail.ends_with(kLineEnd)) return std::nullopt;
    tail.resize(tail.size() - kLineEnd.size());
    const std::size_t lineStart = tail.rfind(kLineEnd);
    if (lineStart == std::string::npos) return std::nullopt;
    const std::string_view last = std::string_view(tail).substr(lineStart + kLineEnd.size());
    if (!last.starts_with(kEndLine)) return std::nullopt;
    return Number(last.substr(kEndLine.size()));
}

std::optional<std::uint64_t> CheckListing(FileServices& files, const std::u16string& path) {
    ListingReader reader(files, path);
    const auto head = reader.ReadHead();
    if (!head) return std::nullopt;
    ListedFile file;
    std::uint64_t count = 0, bytes = 0;
    while (reader.Next(file)) {
        ++count;
        bytes += file.copy.size;
    }
    if (!reader.Whole()) return std::nullopt;
    // The totals of the head are what /Stände shows: they must be the lines'.
    if (!head->folders.empty() && head->folders.front().files) {
        std::uint64_t headFiles = 0, headBytes = 0;
        for (const ListedFolder& folder : head->folders) {
            headFiles += folder.files.value_or(0);
            headBytes += folder.bytes.value_or(0);
        }
        if (headFiles != count || headBytes != bytes) return std::nullopt;
    }
    return count;
}

} // namespace kelvorin
