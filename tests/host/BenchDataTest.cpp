// The benchmarks' generated trees: the same bytes on every run, contents
// that compress as their kind promises, and plans that keep the sizes the
// comparisons are quoted at.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "bench/BenchData.h"

namespace {

using bench::Kind;

std::vector<unsigned char> Content(Kind kind, uint64_t seed, size_t size) {
  std::vector<unsigned char> buffer(size);
  bench::FillContent(kind, seed, buffer);
  return buffer;
}

double CompressedFraction(const std::vector<unsigned char>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<unsigned char> packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, data.data(), static_cast<uLong>(data.size()),
                      Z_DEFAULT_COMPRESSION),
            Z_OK);
  return static_cast<double>(size) / static_cast<double>(data.size());
}

uint32_t Crc(const std::vector<unsigned char>& data) {
  return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

TEST(BenchContent, SameSeedSameBytesOtherSeedOtherBytes) {
  for (int kind = 0; kind < bench::kKindCount; ++kind) {
    const Kind k = static_cast<Kind>(kind);
    EXPECT_EQ(Content(k, 11, 100000), Content(k, 11, 100000)) << bench::KindName(k);
    EXPECT_NE(Content(k, 11, 100000), Content(k, 12, 100000)) << bench::KindName(k);
  }
}

// Earlier results were measured on exactly these bytes; a generator that
// changes them (or a platform whose arithmetic differs) makes new figures
// incomparable, and its stamp tag must change with it.
TEST(BenchContent, BytesAreThoseEarlierRunsMeasured) {
  EXPECT_EQ(Crc(Content(Kind::Text, 7, 256 * 1024)), 0x2ac9cfe2u);
  EXPECT_EQ(Crc(Content(Kind::Random, 7, 256 * 1024)), 0x10483983u);
  EXPECT_EQ(bench::StampText("t", bench::PlanPeerTree()),
            "t\nfiles 555\nbytes 52728714\nplan 524fac8605ad4292\n");
}

TEST(BenchContent, KindsCompressAsTheirNamesSay) {
  EXPECT_GT(CompressedFraction(Content(Kind::Random, 3, 256 * 1024)), 0.99);
  const double text = CompressedFraction(Content(Kind::Text, 3, 256 * 1024));
  EXPECT_GT(text, 0.15);
  EXPECT_LT(text, 0.40);
  EXPECT_LT(CompressedFraction(Content(Kind::Repetitive, 3, 256 * 1024)), 0.05);
  const double half = CompressedFraction(Content(Kind::Half, 3, 256 * 1024));
  EXPECT_GT(half, 0.50);
  EXPECT_LT(half, 0.75);
}

// Names unique and in package order, the order parvane-pack writes.
void ExpectWellFormed(const bench::Plan& plan) {
  std::set<std::string> names;
  for (size_t i = 0; i < plan.size(); ++i) {
    EXPECT_TRUE(names.insert(plan[i].PackageName()).second) << plan[i].PackageName();
    if (i > 0) {
      EXPECT_LT(plan[i - 1].PackageName(), plan[i].PackageName());
    }
    EXPECT_EQ(plan[i].RelativePath().find('\\'), std::string::npos);
  }
}

TEST(BenchPlans, PeerTreeIsLargeManyAndMixed) {
  const bench::Plan plan = bench::PlanPeerTree();
  ExpectWellFormed(plan);
  EXPECT_GE(plan.size(), 500u);
  const size_t total = bench::TotalBytes(plan);
  EXPECT_GE(total, 50u * 1024 * 1024);
  size_t kindBytes[bench::kKindCount] = {};
  for (const bench::PlannedFile& file : plan) kindBytes[static_cast<int>(file.kind)] += file.size;
  for (int kind = 0; kind < bench::kKindCount; ++kind) {
    EXPECT_GT(kindBytes[kind], total / 10) << bench::KindName(static_cast<Kind>(kind));
  }
}

TEST(BenchPlans, RemovalAndLargeTreesHaveTheirQuotedShape) {
  const bench::Plan removal = bench::PlanRemovalTree();
  ExpectWellFormed(removal);
  EXPECT_EQ(removal.size(), 10000u);
  std::set<std::string> folders;
  for (const bench::PlannedFile& file : removal) folders.insert(file.folder);
  EXPECT_EQ(folders.size(), 100u);

  const bench::Plan large = bench::PlanLargeTree();
  ExpectWellFormed(large);
  EXPECT_EQ(large.size(), 40u);
  EXPECT_GE(bench::TotalBytes(large), 200u * 1000 * 1000);
}

TEST(BenchPlans, EachPlanIsRepeatableAndItsOwn) {
  EXPECT_EQ(bench::StampText("t", bench::PlanRemovalTree()),
            bench::StampText("t", bench::PlanRemovalTree()));
  EXPECT_EQ(bench::StampText("t", bench::PlanPayloadBench()),
            bench::StampText("t", bench::PlanPayloadBench()));
  EXPECT_NE(bench::StampText("t", bench::PlanPeerTree()),
            bench::StampText("t", bench::PlanPayloadBench()));
}

class BenchTree : public ::testing::Test {
 protected:
  bench::Plan SmallPlan() const {
    bench::Plan plan;
    plan.push_back({"", "top.bin", 1000, Kind::Random, 1});
    plan.push_back({"a\\b\\", "deep.txt", 5000, Kind::Text, 2});
    plan.push_back({"a\\", "empty.rep", 0, Kind::Repetitive, 3});
    return plan;
  }
  testing_support::TempDir dir_;
};

TEST_F(BenchTree, WrittenTreeHoldsThePlannedBytesAndIsReused) {
  const bench::Plan plan = SmallPlan();
  const std::string root = dir_ / "tree", stamp = dir_ / "tree.stamp";
  const std::string text = bench::StampText("tag", plan);
  EXPECT_FALSE(bench::TreeIsReady(root, stamp, plan, text));
  bench::WriteTree(root, stamp, plan, text);
  EXPECT_TRUE(bench::TreeIsReady(root, stamp, plan, text));
  for (const bench::PlannedFile& file : plan) {
    const std::vector<unsigned char> expected = Content(file.kind, file.seed, file.size);
    const std::string written = testing_support::ReadFile(root + "/" + file.RelativePath());
    EXPECT_EQ(written, std::string(expected.begin(), expected.end())) << file.PackageName();
  }
}

TEST_F(BenchTree, ChangedTreeOrOtherPlanIsWrittenAnew) {
  const bench::Plan plan = SmallPlan();
  const std::string root = dir_ / "tree", stamp = dir_ / "tree.stamp";
  const std::string text = bench::StampText("tag", plan);
  bench::WriteTree(root, stamp, plan, text);
  EXPECT_FALSE(bench::TreeIsReady(root, stamp, plan, bench::StampText("other tag", plan)));

  testing_support::WriteFile(root + "/a/b/deep.txt", "shorter");
  EXPECT_FALSE(bench::TreeIsReady(root, stamp, plan, text));
  // A file left over from another plan goes with the rewrite.
  testing_support::WriteFile(root + "/stray.bin", "x");
  bench::WriteTree(root, stamp, plan, text);
  EXPECT_TRUE(bench::TreeIsReady(root, stamp, plan, text));
  EXPECT_FALSE(testing_support::Exists(root + "/stray.bin"));
}

}  // namespace
