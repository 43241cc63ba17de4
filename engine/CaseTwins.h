#pragma once
// Two source names that a target ignoring case takes for one: the first one's
// copy stands for both, and the second is not copied over it.
#include "engine/FileServices.h"

#include <string>
#include <unordered_set>

namespace kelvorin {

class CaseTwins {
public:
    // Whether the source is the twin of the one before it in the work list,
    // which sorts case-blind, so a twin follows its first. Remembers its folder.
    bool IsTwinOfPrevious(const std::u16string& source, const std::u16string& previous);
    // Whether the source's folder holds a name that the target takes for this
    // one's: asked only in folders where twins were seen.
    bool HasTwinOf(FileServices& files, const std::u16string& source) const;

private:
    std::unordered_set<std::u16string> folders_; // case-blind
};

} // namespace kelvorin
