#include "app/CmdOptions.h"

#include "app/CmdTexts.h"
#include "engine/Paths.h"

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
    return options;
}

} // namespace kelvorin
