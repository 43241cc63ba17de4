#pragma once
// The machine's ANSI code page, as the set file and the log file use it.
#include <string>
#include <string_view>

namespace kelvorin {

class CodePage {
public:
    virtual ~CodePage() = default;
    virtual unsigned Number() const = 0; // 1252, 65001, ...
    // Unrepresentable characters become best-fit or default characters.
    virtual std::string Encode(std::u16string_view text) const = 0;
    virtual std::u16string Decode(std::string_view bytes) const = 0;
};

} // namespace kelvorin
