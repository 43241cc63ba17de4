#include "engine/CopyRules.h"
#include "set/Text16.h"

#include "engine/Paths.h"
#include "engine/Texts.h"
#include "set/CaseRule.h"

namespace kelvorin {

namespace {

constexpr std::size_t kMaxNameLength = 255;

} // namespace

bool IsExcluded(std::u16string_view name, const std::vector<std::u16string>& lines) {
    const std::u16string extension = AsciiLower(FileExtension(name));
    for (const auto& line : lines)
        if (!line.empty() && extension.find(line) != std::u16string::npos) return true;
    return false;
}

bool IsFatFileSystem(std::u16string_view name) {
    return name == u"FAT" || name == u"FAT16" || name == u"FAT32";
}

std::u16string PartialCopyPath(std::u16string_view backup, int variant) {
    const std::size_t slash = backup.rfind(u'\\');
    const std::size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    std::u16string tail(kPartialCopyTail);
    if (variant > 0) {
        const std::string number = "-" + std::to_string(variant + 1);
        tail.insert(tail.rfind(u'.'), std::u16string(number.begin(), number.end()));
    }
    std::u16string_view name = backup.substr(nameStart);
    if (name.size() + tail.size() > kMaxNameLength) {
        name = name.substr(0, kMaxNameLength - tail.size());
        if (!name.empty() && IsHighSurrogate(name.back())) name.remove_suffix(1);
    }
    return std::u16string(backup.substr(0, nameStart)) + std::u16string(name) + tail;
}

std::u16string CaseBlindKey(std::u16string_view name) {
    std::u16string key;
    CaseBlindKey(name, key);
    return key;
}

void CaseBlindKey(std::u16string_view name, std::u16string& key) {
    constexpr char16_t kAnyCase = 0xFFFF;
    key.assign(name);
    for (char16_t& c : key) {
        c = c < 0x80 ? FoldCase(c) : kAnyCase;
        if (c == u'I' || c == u'K' || c == u'S') c = kAnyCase;
    }
}

bool MayBePartialCopyName(std::u16string_view name) {
    return MayBePartialCopyKey(CaseBlindKey(name));
}

bool MayBePartialCopyKey(std::u16string_view key) {
    // The variants differ only after the stem, and a cut name keeps its tail whole.
    const std::u16string_view tail(kPartialCopyTail);
    static const std::u16string stem = CaseBlindKey(tail.substr(0, tail.rfind(u'.')));
    return key.find(stem) != std::u16string_view::npos;
}

} // namespace kelvorin
