#include "engine/RunNames.h"

#include "engine/Calendar.h"
#include "set/Text16.h"

namespace kelvorin {
namespace {

constexpr std::u16string_view kRunNameShape = u"0000-00-00 00.00.00";
constexpr std::size_t kMostSuffixDigits = 9;

std::u16string TwoDigits(int n) {
    return {static_cast<char16_t>(u'0' + n / 10 % 10), static_cast<char16_t>(u'0' + n % 10)};
}

// The run's number within its second from what follows the time: 1 for
// nothing, n for " (n)" from 2 on; nullopt for anything else.
std::optional<int> RunNumber(std::u16string_view rest) {
    if (rest.empty()) return 1;
    constexpr std::u16string_view kOpen = u" (";
    if (!rest.starts_with(kOpen) || !rest.ends_with(u')')) return std::nullopt;
    const std::u16string_view digits = rest.substr(kOpen.size(), rest.size() - kOpen.size() - 1);
    if (digits.empty() || digits.size() > kMostSuffixDigits || digits[0] == u'0')
        return std::nullopt;
    const auto n = DigitsAt(digits, 0, digits.size());
    return n && *n >= 2 ? n : std::nullopt;
}

} // namespace

std::u16string RunFolderName(const LocalTime& t) {
    return DecimalText(t.year) + u'-' + TwoDigits(t.month) + u'-' + TwoDigits(t.day) + u' ' +
           TwoDigits(t.hour) + u'.' + TwoDigits(t.minute) + u'.' + TwoDigits(t.second);
}

std::u16string RunFolderName(const LocalTime& t, int n) {
    return n == 1 ? RunFolderName(t) : RunFolderName(t) + u" (" + DecimalText(n) + u')';
}

std::optional<RunNameParts> ReadRunName(std::u16string_view name) {
    if (name.size() < kRunNameShape.size()) return std::nullopt;
    const auto number = RunNumber(name.substr(kRunNameShape.size()));
    const auto fields = DateTimeFields(name.substr(0, kRunNameShape.size()), kRunNameShape);
    if (!number || !fields) return std::nullopt;
    const auto [year, month, day, hour, minute, second] = *fields;
    if (!IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return RunNameParts{MomentOf({year, month, day, hour, minute, second, 0}), *number};
}

} // namespace kelvorin
