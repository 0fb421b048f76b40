// The order statistics of the driver's `watch` summary (the driver itself
// runs only under Wine; its arithmetic is checked here).
#include <gtest/gtest.h>

#include <vector>

#include "tests/wine/driver/Percentile.h"

namespace {

using uidriver::Median;
using uidriver::NearestRank;

std::vector<double> OneTo(int n) {
  std::vector<double> values;
  for (int i = n; i >= 1; --i) values.push_back(i);  // unsorted on purpose
  return values;
}

TEST(NearestRank, IsAMeasuredValueAtItsRank) {
  EXPECT_EQ(NearestRank(OneTo(100), 99), 99);
  EXPECT_EQ(NearestRank(OneTo(200), 99), 198);
  EXPECT_EQ(NearestRank(OneTo(1000), 99), 990);
  EXPECT_EQ(NearestRank(OneTo(100), 50), 50);
  EXPECT_EQ(NearestRank(OneTo(100), 100), 100);
  EXPECT_EQ(NearestRank({2.5, 7.25}, 99), 7.25);
}

// Two freezes among a thousand quick reads move the maximum, not the p99.
TEST(NearestRank, RareSpikesStayAboveIt) {
  std::vector<double> reads(1000, 1.0);
  reads[500] = 400;
  reads[900] = 250;
  EXPECT_EQ(NearestRank(reads, 99), 1.0);
  // Eleven in a thousand are more than one in a hundred.
  for (int i = 0; i < 11; ++i) reads[i] = 80;
  EXPECT_EQ(NearestRank(reads, 99), 80);
}

TEST(NearestRank, FewValuesGiveTheMaximumNoneGiveZero) {
  EXPECT_EQ(NearestRank({3, 9, 1}, 99), 9);
  EXPECT_EQ(NearestRank({4}, 99), 4);
  EXPECT_EQ(NearestRank({}, 99), 0);
  EXPECT_EQ(NearestRank({5, 6}, 0), 5);
}

TEST(Median, MiddleValueOrMeanOfTheTwo) {
  EXPECT_EQ(Median({5, 1, 3}), 3);
  EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
  EXPECT_EQ(Median({}), 0);
}

}  // namespace
