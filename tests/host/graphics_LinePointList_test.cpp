#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/graphics/LinePointList.h"

namespace {

using KYR::LinePoint;
using KYR::LinePointList;

LinePoint P(int32_t x, int32_t y, int32_t z = 0) { return {x, y, z, 0, 0}; }

LinePointList Of(std::initializer_list<std::pair<int32_t, int32_t>> xy) {
    LinePointList list;
    for (const auto& p : xy) list.PushBack(P(p.first, p.second));
    return list;
}

std::vector<std::pair<int32_t, int32_t>> Xy(const LinePointList& list) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const LinePoint& p : list.Points()) out.emplace_back(p.x, p.y);
    return out;
}

using Xys = std::vector<std::pair<int32_t, int32_t>>;

TEST(LinePointList, NeighboursNeverCoincide) {
    struct Row {
        const char* what;
        void (*edit)(LinePointList&);
        Xys after;
    } rows[] = {
        {"push back a repeat of the last", [](LinePointList& l) { l.PushBack(P(2, 0, 9)); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"push front a repeat of the first", [](LinePointList& l) { l.PushFront(P(0, 0)); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"push front a new point", [](LinePointList& l) { l.PushFront(P(0, 5)); },
         {{0, 5}, {0, 0}, {1, 0}, {2, 0}}},
        {"insert between", [](LinePointList& l) { l.InsertAfter(0, P(7, 7)); },
         {{0, 0}, {7, 7}, {1, 0}, {2, 0}}},
        {"insert equal to the point before", [](LinePointList& l) { l.InsertAfter(1, P(1, 0)); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"insert equal to the point after", [](LinePointList& l) { l.InsertAfter(0, P(1, 0)); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"insert past the end appends", [](LinePointList& l) { l.InsertAfter(99, P(3, 0)); },
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"insert past the end repeating the last", [](LinePointList& l) { l.InsertAfter(3, P(2, 0)); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"remove the middle", [](LinePointList& l) { l.RemoveAt(1); }, {{0, 0}, {2, 0}}},
        {"remove past the end", [](LinePointList& l) { l.RemoveAt(3); },
         {{0, 0}, {1, 0}, {2, 0}}},
        {"pop front and back", [](LinePointList& l) { l.PopFront(); EXPECT_EQ(l.PopBack(), 1u); },
         {{1, 0}}},
    };
    for (const Row& r : rows) {
        LinePointList list = Of({{0, 0}, {1, 0}, {2, 0}});
        r.edit(list);
        EXPECT_EQ(Xy(list), r.after) << r.what;
    }
}

TEST(LinePointList, RemovingAPointClosesTheGapWithoutRepeats) {
    // A B A B C: taking out the first B brings A next to A, then B next to... each repeat of
    // the point before the gap goes too.
    LinePointList list = Of({{0, 0}, {1, 1}, {0, 0}, {0, 0}, {5, 5}});
    EXPECT_EQ(Xy(list), (Xys{{0, 0}, {1, 1}, {0, 0}, {5, 5}}));  // the push refused one repeat
    list.RemoveAt(1);
    EXPECT_EQ(Xy(list), (Xys{{0, 0}, {5, 5}}));
    list.RemoveAt(0);  // nothing before the gap to repeat
    EXPECT_EQ(Xy(list), (Xys{{5, 5}}));
}

TEST(LinePointList, GetPointOutOfRange) {
    LinePointList list;
    EXPECT_EQ(list.GetPoint(0), nullptr);
    EXPECT_EQ(list.PopBack(), 0u);
    list.PopFront();
    list.RemoveAt(0);
    list.PushBack(P(1, 2, 3));
    list.PushBack(P(4, 5));
    ASSERT_NE(list.GetPoint(7), nullptr);
    EXPECT_EQ(list.GetPoint(7)->x, 1);  // past the end: the first point
    EXPECT_EQ(list.GetPoint(1)->y, 5);
    EXPECT_EQ(list.GetPoint(0)->z, 3);
}

}  // namespace
