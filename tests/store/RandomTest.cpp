#include "store/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

TEST(Random, PickDistinctGivesDistinctValuesInRangeAndNeverLoops)
{
    for (auto [k, n] : {std::pair<std::uint64_t, std::uint64_t>{0, 5}, {1, 1}, {3, 10}, {10, 10}, {7, 100000},
                        {60000, 100000}}) {
        const std::vector<std::uint64_t> v = Random::pickDistinct(k, n);
        ASSERT_EQ(v.size(), k);
        EXPECT_EQ(std::set<std::uint64_t>(v.begin(), v.end()).size(), k);
        EXPECT_TRUE(std::all_of(v.begin(), v.end(), [n = n](std::uint64_t x) { return x < n; }));
    }
    // Asking for more than there is takes all there is.
    EXPECT_EQ(Random::pickDistinct(8, 5).size(), 5u);
    EXPECT_TRUE(Random::pickDistinct(3, 0).empty());
}

TEST(Random, PickDistinctReachesBeyond32767AndIsRoughlyUniform)
{
    std::map<std::uint64_t, int> firstDraws;
    std::uint64_t highest = 0;
    for (int i = 0; i < 2000; ++i) {
        Random::setSeed(std::uint64_t(i));
        const std::vector<std::uint64_t> v = Random::pickDistinct(2, 100000);
        highest = std::max(highest, v[0]);
        ++firstDraws[Random::pickDistinct(1, 4)[0]];
    }
    Random::setSeed(std::nullopt);
    EXPECT_GT(highest, 32767u);
    for (std::uint64_t value = 0; value < 4; ++value) {
        EXPECT_GT(firstDraws[value], 400) << value;
        EXPECT_LT(firstDraws[value], 600) << value;
    }
}

} // namespace
