// Writes one of the generated trees that make bench compares the two
// installers on, unless the tree already on disk was made by the same plan:
//   bench_tree peer|large|removal|count-FILES|size-MEGABYTES DIR
// Prints one line: the tree, its file count and size, and whether it was
// written or reused. DIR.stamp records the plan the tree was made by.
#include <cstdio>
#include <exception>
#include <string>

#include "bench/BenchData.h"

namespace {

// Bump whenever a plan or the contents change, so that an old tree is
// written anew instead of being reused under the new plan.
constexpr char kStampTag[] = "peer-bench tree 1";

// A count of 1 to 100,000 written in decimal; 0 for anything else.
int Number(const std::string& text) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  const int value = std::stoi(text);
  return value <= 100000 ? value : 0;
}

bool PlanNamed(const std::string& name, bench::Plan& plan) {
  if (name == "peer") plan = bench::PlanPeerTree();
  else if (name == "large") plan = bench::PlanLargeTree();
  else if (name == "removal") plan = bench::PlanRemovalTree();
  else if (name.rfind("count-", 0) == 0 && Number(name.substr(6)) > 0)
    plan = bench::PlanCountSeriesTree(Number(name.substr(6)));
  else if (name.rfind("size-", 0) == 0 && Number(name.substr(5)) > 0)
    plan = bench::PlanSizeSeriesTree(Number(name.substr(5)));
  else return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bench::Plan plan;
  if (argc != 3 || !PlanNamed(argv[1], plan)) {
    std::fprintf(stderr, "usage: bench_tree peer|large|removal|count-FILES|size-MEGABYTES DIR\n");
    return 2;
  }
  const std::string root = argv[2];
  const std::string stampFile = root + ".stamp";
  const std::string stamp = bench::StampText(std::string(kStampTag) + " " + argv[1], plan);
  try {
    const bool reused = bench::TreeIsReady(root, stampFile, plan, stamp);
    if (!reused) bench::WriteTree(root, stampFile, plan, stamp);
    size_t kindBytes[bench::kKindCount] = {};
    for (const bench::PlannedFile& file : plan) kindBytes[static_cast<int>(file.kind)] += file.size;
    std::printf("tree %s: %zu files, %zu bytes (", argv[1], plan.size(), bench::TotalBytes(plan));
    for (int kind = 0; kind < bench::kKindCount; ++kind) {
      std::printf("%s%s %zu", kind ? ", " : "", bench::KindName(static_cast<bench::Kind>(kind)),
                  kindBytes[kind]);
    }
    std::printf("), %s\n", reused ? "reused" : "written");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_tree: %s\n", error.what());
    return 1;
  }
  return 0;
}
