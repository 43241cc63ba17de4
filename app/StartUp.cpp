#include "app/StartUp.h"

namespace kelvorin {

namespace {
bool Separates(char16_t c) {
    return c >= 1 && c <= 32;
}
} // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
    std::vector<std::u16string> items;
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (;;) {
        for (;;) {
            while (i < n && Separates(line[i]))
                ++i;
            if (i + 1 < n && line[i] == u'"' && line[i + 1] == u'"') {
                i += 2;
                continue;
            }
            break;
        }
        // A NUL ends the line as it ends the system's string.
        std::u16string item;
        while (i < n && line[i] != 0 && !Separates(line[i])) {
            if (line[i] == u'"') {
                ++i;
                while (i < n && line[i] != 0 && line[i] != u'"')
                    item += line[i++];
                if (i < n && line[i] == u'"') ++i;
            } else {
                item += line[i++];
            }
        }
        if (item.empty()) break;
        items.push_back(std::move(item));
    }
    return items;
}

std::u16string WithIniExtension(std::u16string_view name) {
    const auto last = name.find_last_of(u".\\:");
    if (last != std::u16string_view::npos && name[last] == u'.') name = name.substr(0, last);
    std::u16string result(name);
    result += u".ini";
    return result;
}

std::u16string DataDirFrom(const std::optional<std::u16string>& personalFolder) {
    std::u16string dir = personalFolder ? *personalFolder : u"C:";
    dir += u'\\';
    return dir;
}

std::u16string SetFilePathFor(const std::vector<std::u16string>& arguments,
                              std::u16string_view dataDir,
                              const std::function<bool(std::u16string_view)>& isExistingFile) {
    std::u16string path = arguments.size() == 1 ? WithIniExtension(arguments[0]) : u"Kelvorin.ini";
    const bool fromRoot = path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
    if (!isExistingFile(path) && !fromRoot) path = std::u16string(dataDir) + path;
    return path;
}

} // namespace kelvorin
