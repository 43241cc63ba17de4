#include "set/SortedList.h"

#include "set/PathOrder.h"

#include <algorithm>
#include <numeric>

namespace kelvorin {

void SortedList::Add(std::u16string line, std::int32_t data) {
    if (sorted_ && !items_.empty() && PathLess{}(line, items_.back())) sorted_ = false;
    items_.push_back(std::move(line));
    data_.push_back(data);
}

const std::vector<std::u16string>& SortedList::Items() const {
    if (!sorted_) {
        // The order is found once and applied to the lines and their numbers alike.
        std::vector<std::size_t> order(items_.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return PathLess{}(items_[a], items_[b]);
        });
        std::vector<std::u16string> items;
        std::vector<std::int32_t> data;
        items.reserve(order.size());
        data.reserve(order.size());
        for (const std::size_t i : order) {
            items.push_back(std::move(items_[i]));
            data.push_back(data_[i]);
        }
        items_ = std::move(items);
        data_ = std::move(data);
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
