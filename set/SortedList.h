#pragma once
// A list of lines kept in PathOrder, like a sorted list box. Additions are
// appended and sorted once on the next read, so filling it with n lines costs
// n log n, not n insertions into the middle.
#include <string>
#include <vector>

namespace kelvorin {

class SortedList {
public:
    void Clear() {
        items_.clear();
        sorted_ = true;
    }
    void Add(std::u16string line);
    std::size_t Count() const { return items_.size(); }
    const std::u16string& At(std::size_t i) const { return Items().at(i); }
    const std::vector<std::u16string>& Items() const;
    bool Contains(std::u16string_view line) const; // exact text

private:
    mutable std::vector<std::u16string> items_;
    mutable bool sorted_ = true;
};

} // namespace kelvorin
