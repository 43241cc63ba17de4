#include "set/PathOrder.h"

#include "set/CaseRule.h"

namespace kelvorin {

std::u16string FoldedPath(std::u16string_view path) {
    std::u16string folded(path);
    for (char16_t& c : folded)
        c = FoldCase(c);
    return folded;
}

bool SameFolded(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

int ComparePaths(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Paths in a list share long beginnings: equal units need no folding.
        if (a[i] == b[i]) continue;
        const char16_t fa = FoldCase(a[i]), fb = FoldCase(b[i]);
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int raw = a.compare(b);
    return raw < 0 ? -1 : (raw > 0 ? 1 : 0);
}

} // namespace kelvorin
