#include "set/PathOrder.h"
#include "set/SortedList.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

TEST(PathOrder, IgnoresCaseAndBreaksTiesByCodeUnits) {
    EXPECT_LT(ComparePaths(u"apfel", u"Birne"), 0);
    EXPECT_GT(ComparePaths(u"Zebra", u"apfel"), 0);
    EXPECT_LT(ComparePaths(u"ABC", u"abc"), 0); // equal folded: raw order decides
    EXPECT_EQ(ComparePaths(u"äbc", u"äbc"), 0);
    EXPECT_LT(ComparePaths(u"Äpfel", u"äpfel"), 0);
}

TEST(PathOrder, PutsAPathBeforeEveryPathThatExtendsIt) {
    // "\" (0x5C) sorts after " " and "-" but a prefix must still come first.
    SortedList list;
    for (auto p :
         {u"E:\\a\\b\\c", u"E:\\a b", u"E:\\a\\b", u"E:\\a-x", u"E:\\a", u"e:\\A\\B\\C\\d"})
        list.Add(p);
    const auto& items = list.Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        for (std::size_t j = 0; j < items.size(); ++j) {
            if (j != i && items[j].starts_with(items[i])) {
                EXPECT_LT(i, j) << "expected " << std::string(items[i].begin(), items[i].end())
                                << " before its extension";
            }
        }
}

TEST(SortedList, SortsLazilyKeepsDuplicatesAndFindsExactText) {
    SortedList list;
    list.Add(u"b");
    list.Add(u"a");
    list.Add(u"B");
    list.Add(u"a");
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.Items(), (std::vector<std::u16string>{u"a", u"a", u"B", u"b"}));
    EXPECT_TRUE(list.Contains(u"B"));
    EXPECT_FALSE(list.Contains(u"A"));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

TEST(SortedList, EachLineKeepsItsNumberThroughTheSort) {
    SortedList list;
    list.Add(u"c", 3);
    list.Add(u"a", 1);
    list.Add(u"b", 20);
    list.Add(u"b", 21); // equal lines keep the order they were added in
    ASSERT_EQ(list.At(0), u"a");
    // A line added after a read is sorted in with its number.
    list.Add(u"A", -1);
    const std::vector<std::pair<std::u16string, std::int32_t>> expected{
        {u"A", -1}, {u"a", 1}, {u"b", 20}, {u"b", 21}, {u"c", 3}};
    ASSERT_EQ(list.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.At(i), expected[i].first);
        EXPECT_EQ(list.DataAt(i), expected[i].second);
    }
    list.Clear();
    list.Add(u"x");
    EXPECT_EQ(list.DataAt(0), SortedList::kNoData);
}

} // namespace
} // namespace kelvorin
