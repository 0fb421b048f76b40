// What one `watch` saw: the time of every read, the texts in the order they
// first appeared and the span of the progress bar. The checks after a watch
// and its summary line both read it.
#pragma once

#include <string>
#include <vector>

namespace uidriver {

struct SlowestRead {
  const char* message = "";  // "WM_GETTEXT" or "PBM_GETPOS"
  double atMs = 0;           // when it was sent, from the start of the watch
  double ms = 0;
  bool answered = true;
};

class WatchRecord {
 public:
  void AddRead(const char* message, double atMs, double ms, bool answered);
  void AddText(const std::string& shown);  // as Shown() gives it
  void AddPosition(long long position);

  size_t Reads() const { return reads_.size(); }
  // Reads that took longer than `ms` or got no answer at all.
  size_t ReadsOver(double ms) const;
  const SlowestRead& Slowest() const { return slowest_; }
  double MedianMs() const;
  // The 99th percentile (nearest rank): one freeze in a hundred reads may
  // exceed it, which says more about a long run than its single maximum.
  double P99Ms() const;
  bool Saw(const std::string& shown) const;
  bool HasPosition() const { return hasPosition_; }
  long long Highest() const { return highest_; }
  std::string Texts() const;     // joined with " | "
  std::string LastText() const;  // for failure messages: quoted, or that none came

  // "watch: N reads in T ms, max X ms, median Y ms, p99 Z ms; texts A | B;
  // progress L..H"
  std::string Summary(double elapsedMs) const;

 private:
  struct Read {
    double ms;
    bool answered;
  };
  std::vector<double> Times() const;

  std::vector<Read> reads_;
  size_t unanswered_ = 0;
  SlowestRead slowest_;
  std::vector<std::string> texts_;
  std::string last_;
  bool hasText_ = false;
  bool hasPosition_ = false;
  long long lowest_ = 0;
  long long highest_ = 0;
};

}  // namespace uidriver
