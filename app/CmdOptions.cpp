#include "app/CmdOptions.h"

#include "app/CmdTexts.h"
#include "engine/Paths.h"
#include "engine/RunNames.h"
#include "set/Text16.h"

namespace kelvorin {

CmdOptions ParseCmdOptions(const std::vector<std::u16string>& args) {
    CmdOptions options;
    for (const auto& arg : args) {
        if (arg.starts_with(u'/')) {
            const std::u16string option = AsciiLower(arg);
            if (option == u"/vorschau") {
                options.preview = true;
            } else if (option == u"/prüfen" || option == u"/prÜfen") {
                options.check = true;
            } else if (option == u"/reparieren") {
                options.check = options.repair = true;
            } else if (option == u"/stände" || option == u"/stÄnde") {
                options.states = true;
            } else if (option.starts_with(u"/zurück:") || option.starts_with(u"/zurÜck:")) {
                const std::u16string_view text = std::u16string_view(arg).substr(8);
                options.restoreMoment = ParseMoment(text);
                if (!options.restoreMoment && options.error.empty())
                    options.error = texts::kNotAMoment + std::u16string(text);
            } else if (option.starts_with(u"/nach:")) {
                options.restoreFolder = arg.substr(6);
                if (options.restoreFolder.empty() && options.error.empty())
                    options.error = texts::kRestoreWithoutFolder;
            } else if (option == u"/?") {
                options.help = true;
            } else if (options.error.empty()) {
                options.error = std::u16string(texts::kUnknownOption) + arg;
            }
        } else {
            options.setNames.push_back(arg);
            if (options.setNames.size() == 2 && options.error.empty())
                options.error = std::u16string(texts::kSecondSetName) + arg;
        }
    }
    // A preview of a check would be the check itself.
    if (options.check && options.preview && options.error.empty())
        options.error = texts::kCheckNotWithPreview;
    const bool restore = options.restoreMoment.has_value();
    const bool restoreFolder = !options.restoreFolder.empty();
    if (options.error.empty() && restore != restoreFolder)
        options.error = restore ? texts::kRestoreWithoutFolder : texts::kFolderWithoutRestore;
    if (options.error.empty() && (restore || options.states) + options.preview + options.check > 1)
        options.error = texts::kOneCommandOnly;
    return options;
}

std::optional<std::int64_t> ParseMoment(std::u16string_view text) {
    // The day's part is the run name's own shape; a missing time is its end.
    constexpr std::size_t kDay = 10, kMinute = 16, kSecond = 19;
    if (text.size() != kDay && text.size() != kMinute && text.size() != kSecond)
        return std::nullopt;
    std::u16string name(text.substr(0, kDay));
    if (text.size() == kDay) {
        name += u" 23.59.59";
    } else {
        if (text[kDay] != u' ') return std::nullopt;
        for (std::size_t i : {std::size_t{13}, std::size_t{16}})
            if (i < text.size() && text[i] != u'.' && text[i] != u':') return std::nullopt;
        if (!DigitsAt(text, 11, 2) || !DigitsAt(text, 14, 2) ||
            (text.size() == kSecond && !DigitsAt(text, 17, 2)))
            return std::nullopt;
        name += u' ';
        name += text.substr(11, 2);
        name += u'.';
        name += text.substr(14, 2);
        name += text.size() == kSecond ? u'.' + std::u16string(text.substr(17, 2)) : u".59";
    }
    return RunFolderMoment(name);
}

} // namespace kelvorin
