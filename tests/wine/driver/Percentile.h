// Order statistics of the times a `watch` measured. Portable, so that the
// host tests check the arithmetic without Wine.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace uidriver {

// The nearest-rank percentile: the smallest value that at least `percent`
// of the values do not exceed, so it is always one of the measured times,
// never an interpolation between two. 0 for no values.
inline double NearestRank(std::vector<double> values, double percent) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double rank = std::ceil(percent / 100.0 * static_cast<double>(values.size()));
  const size_t index = rank < 1 ? 0 : static_cast<size_t>(rank) - 1;
  return values[std::min(index, values.size() - 1)];
}

// The middle value, or the mean of the two middle ones.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace uidriver
