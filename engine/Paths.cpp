#include "engine/Paths.h"

namespace kelvorin {

std::u16string_view FileExtension(std::u16string_view name) {
    const auto dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string_view{} : name.substr(dot);
}

std::u16string SingleBackslashes(std::u16string_view path) {
    std::u16string result;
    result.reserve(path.size());
    for (char16_t c : path)
        if (!(c == u'\\' && result.size() >= 2 && result.back() == u'\\')) result += c;
    return result;
}

bool IsDrivePath(std::u16string_view path) {
    return path.size() >= 3 && !DriveOf(path).IsNone() && path[1] == u':' && path[2] == u'\\';
}

std::u16string WithDrive(std::u16string_view path, DriveLetter drive) {
    std::u16string result;
    WithDrive(path, drive, result);
    return result;
}

void WithDrive(std::u16string_view path, DriveLetter drive, std::u16string& result) {
    result.assign(path);
    if (!result.empty()) result[0] = drive.Letter();
}

DriveLetter DriveOf(std::u16string_view path) {
    return path.empty() ? DriveLetter() : DriveLetter::FromLetter(path[0]);
}

} // namespace kelvorin
