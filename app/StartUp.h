#pragma once
// Start-up rules: the documents folder, the command line and the choice of the
// set file. Pure functions, so that the console program can share them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvorin {

// Every item of a command line, the program first. Runs of characters 1 to 32
// separate items; a double quote opens a stretch up to the next one (or the
// end) in which blanks do not separate; quotes are dropped; a "" where an item
// would begin is skipped. An empty item can only end the line and is dropped.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// The name with its extension replaced by, or extended with, ".ini". Only a dot
// after the last "\" or ":" starts an extension.
std::u16string WithIniExtension(std::u16string_view name);

// The documents folder followed by a backslash, always; "C:\" without one.
std::u16string DataDirFrom(const std::optional<std::u16string>& personalFolder);

// The set file for the program's arguments (the program item not among them):
// exactly one argument names it, with ".ini"; else "Kelvorin.ini". A name that
// is not an existing file and does not begin "?:\" is taken inside dataDir.
std::u16string SetFilePathFor(const std::vector<std::u16string>& arguments,
                              std::u16string_view dataDir,
                              const std::function<bool(std::u16string_view)>& isExistingFile);

// What start-up needs of the platform.
class StartUpServices {
public:
    virtual ~StartUpServices() = default;
    // HKCU "...\Explorer\Shell Folders", value "Personal", when it is a REG_SZ:
    // its text up to the first NUL. Nothing when the key, the value or the type
    // does not fit.
    virtual std::optional<std::u16string> PersonalFolder() = 0;
    virtual std::u16string CommandLine() = 0;
};

} // namespace kelvorin
