#pragma once
// The machine's ANSI code page (GetACP) with the system's own conversion:
// no flags, no default character of ours, so best-fit characters come out.
#include "set/CodePage.h"

namespace kelvorin {

class Win32CodePage : public CodePage {
public:
    unsigned Number() const override;
    std::string Encode(std::u16string_view text) const override;
    std::u16string Decode(std::string_view bytes) const override;
};

} // namespace kelvorin
