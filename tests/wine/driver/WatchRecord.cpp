#include "WatchRecord.h"

#include <algorithm>

#include "Percentile.h"
#include "TimedRead.h"

namespace uidriver {

void WatchRecord::AddRead(const char* message, double atMs, double ms, bool answered) {
  reads_.push_back(Read{ms, answered});
  if (!answered) ++unanswered_;
  if (reads_.size() == 1 || ms > slowest_.ms) slowest_ = SlowestRead{message, atMs, ms, answered};
}

void WatchRecord::AddText(const std::string& shown) {
  hasText_ = true;
  last_ = shown;
  if (!Saw(shown)) texts_.push_back(shown);
}

void WatchRecord::AddPosition(long long position) {
  lowest_ = hasPosition_ ? std::min(lowest_, position) : position;
  highest_ = hasPosition_ ? std::max(highest_, position) : position;
  hasPosition_ = true;
}

size_t WatchRecord::ReadsOver(double ms) const {
  return static_cast<size_t>(std::count_if(reads_.begin(), reads_.end(), [ms](const Read& read) {
    return read.ms > ms || !read.answered;
  }));
}

std::vector<double> WatchRecord::Times() const {
  std::vector<double> times;
  times.reserve(reads_.size());
  for (const Read& read : reads_) times.push_back(read.ms);
  return times;
}

double WatchRecord::MedianMs() const { return Median(Times()); }

double WatchRecord::P99Ms() const { return NearestRank(Times(), 99); }

bool WatchRecord::Saw(const std::string& shown) const {
  return std::find(texts_.begin(), texts_.end(), shown) != texts_.end();
}

std::string WatchRecord::Texts() const {
  std::string joined;
  for (const std::string& text : texts_) joined += (joined.empty() ? "" : " | ") + text;
  return joined;
}

std::string WatchRecord::LastText() const {
  return hasText_ ? "the last text \"" + last_ + "\"" : "no text: no read of it was answered";
}

std::string WatchRecord::Summary(double elapsedMs) const {
  std::string line = "watch: " + std::to_string(Reads()) + " reads in " + Ms(elapsedMs) +
                     " ms, max " + Ms(slowest_.ms) + " ms";
  if (unanswered_ > 0) line += " (" + std::to_string(unanswered_) + " unanswered)";
  line += ", median " + Ms(MedianMs()) + " ms, p99 " + Ms(P99Ms()) + " ms; texts " +
          (hasText_ ? Texts() : "none");
  line += "; progress " + (hasPosition_ ? std::to_string(lowest_) + ".." + std::to_string(highest_)
                                        : std::string("none"));
  return line;
}

}  // namespace uidriver
