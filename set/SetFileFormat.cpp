#include "set/SetFileFormat.h"
#include "set/Text16.h"

#include "set/AsciiCase.h"

#include <cstdint>

namespace kelvorin {

namespace {

constexpr char kCtrlZ = 0x1A;

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

} // namespace

std::int32_t DriveValueToInt(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';

    bool hex = false;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }

    // Unsigned, so that the wrap past 2147483647 is defined and ends the number.
    std::uint32_t number = 0;
    for (; i < text.size(); ++i) {
        if (hex) {
            const int digit = HexDigit(text[i]);
            if (digit < 0 || number > 0x0FFFFFFFu) break;
            number = number * 16 + static_cast<std::uint32_t>(digit);
        } else {
            if (text[i] < u'0' || text[i] > u'9' || number > 214748364u) break;
            number = number * 10 + static_cast<std::uint32_t>(text[i] - u'0');
        }
    }
    if (negative) number = 0u - number;
    return static_cast<std::int32_t>(number);
}

int VersionDaysValue(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 5) return BackupSet::kDefaultVersionDays;
    int days = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return BackupSet::kDefaultVersionDays;
        days = days * 10 + (c - u'0');
    }
    return days <= BackupSet::kMaxVersionDays ? days : BackupSet::kDefaultVersionDays;
}

std::string FormatSetFile(const BackupSet& set, const CodePage& codePage) {
    std::string bytes;
    auto line = [&](std::u16string_view key, std::u16string_view value) {
        std::u16string text(key);
        text += value;
        bytes += codePage.Encode(text);
        bytes += "\r\n";
    };
    line(u"Laufwerk=", DecimalText(set.DriveIndex()));
    line(u"Synchron=", set.synchron ? u"TRUE" : u"FALSE");
    for (const auto& folder : set.folders.Items())
        if (!folder.empty()) line(u"Ordner=", folder);
    for (const auto& exclusion : set.exclusions)
        if (!exclusion.empty()) line(u"Ausschluss=", AsciiLower(exclusion));
    if (set.versionDays != BackupSet::kDefaultVersionDays)
        line(u"Versionen=", DecimalText(set.versionDays));
    return bytes;
}

bool SetFileReader::Feed(std::string_view bytes) {
    for (char b : bytes) {
        if (ended_) break;
        if (b == kCtrlZ) {
            // The text before Ctrl-Z is still a line.
            TakeLine();
            ended_ = true;
        } else if (b == '\n') {
            TakeLine();
        } else if (b != '\r') {
            line_ += b;
        }
    }
    return !ended_;
}

void SetFileReader::Finish() {
    if (!ended_) TakeLine();
    ended_ = true;
}

void SetFileReader::TakeLine() {
    const std::u16string text = codePage_.Decode(line_);
    line_.clear();
    const auto equals = text.find(u'=');
    if (equals == std::u16string::npos) return;
    const std::u16string key = AsciiUpper(std::u16string_view(text).substr(0, equals));
    std::u16string value = text.substr(equals + 1);
    if (key == u"ORDNER") {
        set_.folders.Add(std::move(value));
    } else if (key == u"AUSSCHLUSS") {
        workList_.Add(AsciiLower(value));
    } else if (key == u"LAUFWERK") {
        pendingDrive_ = DriveValueToInt(value);
    } else if (key == u"SYNCHRON") {
        set_.synchron = value == u"TRUE";
    } else if (key == u"VERSIONEN") {
        set_.versionDays = VersionDaysValue(value);
    }
}

void FinishLoadedSet(const SetFileReader& reader, BackupSet& set, SortedList& workList) {
    set.SetDriveIndex(reader.PendingDrive());
    set.exclusions = workList.Items();
    workList.Clear();
}

} // namespace kelvorin
