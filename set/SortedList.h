#pragma once
// A list of lines kept in PathOrder, like a sorted list box. Additions are
// appended and sorted once on the next read, so filling it with n lines costs
// n log n, not n insertions into the middle. Like a list box item, each line
// carries a number of its own, which stays with it through the sort.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvorin {

class SortedList {
public:
    // The number of a line added without one.
    static constexpr std::int32_t kNoData = -1;

    void Clear() {
        items_.clear();
        data_.clear();
        sorted_ = true;
    }
    void Add(std::u16string line, std::int32_t data = kNoData);
    std::size_t Count() const { return items_.size(); }
    const std::u16string& At(std::size_t i) const { return Items().at(i); }
    // The number added with the line now at i.
    std::int32_t DataAt(std::size_t i) const {
        Items();
        return data_.at(i);
    }
    const std::vector<std::u16string>& Items() const;
    bool Contains(std::u16string_view line) const; // exact text

private:
    mutable std::vector<std::u16string> items_;
    mutable std::vector<std::int32_t> data_; // beside items_, index for index
    mutable bool sorted_ = true;
};

} // namespace kelvorin
