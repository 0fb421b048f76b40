// The benchmarks' input: trees of files generated from fixed seeds, so that
// every run, on every machine, measures the same bytes. Contents come in
// kinds that compress very differently, since an installer's speed depends
// on how much it inflates per byte it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// splitmix64: tiny, fast and identical on every platform, unlike the
// standard distributions, whose output is implementation-defined.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  uint64_t Below(uint64_t bound) { return Next() % bound; }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Log-uniform, so that small files dominate the count and large ones the
  // volume, as in a real installation.
  size_t LogUniform(size_t low, size_t high);

 private:
  uint64_t state_;
};

enum class Kind { Random, Text, Repetitive, Half };
constexpr int kKindCount = 4;

const char* KindExtension(Kind kind);
const char* KindName(Kind kind);

void FillRandom(Rng& rng, unsigned char* data, size_t size);
void FillText(Rng& rng, unsigned char* data, size_t size);
void FillRepetitive(Rng& rng, unsigned char* data, size_t size);
// The whole buffer, from `seed` alone.
void FillContent(Kind kind, uint64_t seed, std::vector<unsigned char>& buffer);

struct PlannedFile {
  std::string folder;  // package form: empty or ending in a backslash
  std::string name;
  size_t size = 0;
  Kind kind = Kind::Random;
  uint64_t seed = 0;

  std::string PackageName() const { return folder + name; }
  std::string RelativePath() const;  // with '/'
};

// Sorted by package name; names are unique.
using Plan = std::vector<PlannedFile>;

// payload_bench's tree: over 200 MB in over 1,200 files.
Plan PlanPayloadBench();
// The tree both installers install: at least 50 MiB in at least 500 files
// of every kind.
Plan PlanPeerTree();
// A package for watching the page during a long extraction: 40 files of
// 5 MiB, half random and half text.
Plan PlanLargeTree();
// An installed tree for the uninstall: 10,000 small files in 100 folders.
Plan PlanRemovalTree();

// How the cost grows with the count: `files` files of 4 KiB, 100 to a
// folder, the four kinds in turn.
Plan PlanCountSeriesTree(int files);
// How the cost grows with the bytes: `megabytes` million bytes in 40 files,
// half text and half random.
Plan PlanSizeSeriesTree(int megabytes);

size_t TotalBytes(const Plan& plan);

// A text that names the generator version, the plan's shape and a hash of
// every planned name, size, kind and seed: a tree on disk whose stamp
// matches was made by this very plan.
std::string StampText(const std::string& tag, const Plan& plan);

// Whether `root` holds every planned file at its planned size and the stamp
// file holds `stamp`.
bool TreeIsReady(const std::string& root, const std::string& stampFile, const Plan& plan,
                 const std::string& stamp);
// Writes the tree afresh below `root` (removing what was there), then the
// stamp, last, so that an interrupted run is never taken for a finished one.
void WriteTree(const std::string& root, const std::string& stampFile, const Plan& plan,
               const std::string& stamp);

}  // namespace bench
