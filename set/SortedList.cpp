#include "set/SortedList.h"

#include "set/PathOrder.h"

#include <algorithm>

namespace kelvorin {

void SortedList::Add(std::u16string line) {
    if (sorted_ && !items_.empty() && PathLess{}(line, items_.back())) sorted_ = false;
    items_.push_back(std::move(line));
}

const std::vector<std::u16string>& SortedList::Items() const {
    if (!sorted_) {
        std::stable_sort(items_.begin(), items_.end(), PathLess{});
        sorted_ = true;
    }
    return items_;
}

bool SortedList::Contains(std::u16string_view line) const {
    const auto& v = Items();
    auto it = std::lower_bound(v.begin(), v.end(), line, PathLess{});
    return it != v.end() && *it == line;
}

} // namespace kelvorin
