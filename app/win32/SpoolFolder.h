#pragma once
#include <string>

namespace kelvorin {

// Where a run's long listing waits until the run ends: the user's local
// application data, "...\AppData\Local\Kelvorin\", with a backslash at the
// end. Never the documents folder, which most sets hold. Empty when the
// system cannot tell it: the listing then stays in memory.
std::u16string SpoolFolder();

} // namespace kelvorin
