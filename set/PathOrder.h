#pragma once
// The one ordering of the folder list and the work list: ordinal, case-folded
// by the file system's rule, with the raw code units as tie-break so that the
// order is total and stable. A path always sorts before every path that
// extends it.
#include "set/CaseRule.h"

#include <string>
#include <string_view>

namespace kelvorin {
// The path with every unit folded: one key for the spellings a target that
// ignores case takes for one.
std::u16string FoldedPath(std::u16string_view path);
// Whether the two are one path or name once folded.
bool SameFolded(std::u16string_view a, std::u16string_view b);
int ComparePaths(std::u16string_view a, std::u16string_view b);

struct PathLess {
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        return ComparePaths(a, b) < 0;
    }
};

} // namespace kelvorin
