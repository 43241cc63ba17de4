#pragma once
// Windows-1252, for builds without an ANSI code page. Bytes decode exactly as
// Windows decodes them (the five unassigned bytes become the C1 controls of the
// same value), so files stay interchangeable with those written under 1252.
#include "set/CodePage.h"

namespace kelvorin {

class Windows1252CodePage : public CodePage {
public:
    unsigned Number() const override { return 1252; }
    // A character outside the code page becomes "?"; a surrogate pair one "?".
    std::string Encode(std::u16string_view text) const override;
    std::u16string Decode(std::string_view bytes) const override;
};

} // namespace kelvorin
