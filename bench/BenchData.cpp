#include "bench/BenchData.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace bench {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kPayloadBenchSeed = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kPeerSeed = 0x5045455254524545ull;
constexpr uint64_t kLargeSeed = 0x4C41524745504B47ull;
constexpr uint64_t kRemovalSeed = 0x52454D4F56414C53ull;
constexpr uint64_t kSeriesSeed = 0x5345524945532D31ull;
constexpr size_t kMiB = 1024 * 1024;

// Sizes in, files out: kinds and seeds from the same stream, and the
// folders spread as an installation's are: a handful at the top, the rest
// two levels deep.
Plan SpreadOverFolders(Rng& rng, const std::vector<size_t>& sizes) {
  Plan plan;
  for (size_t i = 0; i < sizes.size(); ++i) {
    PlannedFile file;
    file.size = sizes[i];
    file.kind = static_cast<Kind>(rng.Below(kKindCount));
    file.seed = rng.Next();
    if (i % 50 != 7) {
      char folder[32];
      std::snprintf(folder, sizeof folder, "g%02zu\\", i % 16);
      file.folder = folder;
      if (rng.Below(3) != 0) {
        std::snprintf(folder, sizeof folder, "s%" PRIu64 "\\", rng.Below(4));
        file.folder += folder;
      }
    }
    char name[32];
    std::snprintf(name, sizeof name, "f%04zu%s", i, KindExtension(file.kind));
    file.name = name;
    plan.push_back(std::move(file));
  }
  return plan;
}

void SortByPackageName(Plan& plan) {
  std::sort(plan.begin(), plan.end(), [](const PlannedFile& a, const PlannedFile& b) {
    return a.PackageName() < b.PackageName();
  });
}

void Shuffle(Rng& rng, std::vector<size_t>& sizes) {
  for (size_t i = sizes.size() - 1; i > 0; --i) std::swap(sizes[i], sizes[rng.Below(i + 1)]);
}

void WriteWhole(const std::string& path, const std::vector<unsigned char>& data) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
  bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
  ok = std::fclose(out) == 0 && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

uint64_t Rng::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

size_t Rng::LogUniform(size_t low, size_t high) {
  const double value = std::exp(std::log(double(low)) +
                                Unit() * (std::log(double(high)) - std::log(double(low))));
  return static_cast<size_t>(value);
}

const char* KindExtension(Kind kind) {
  switch (kind) {
    case Kind::Random: return ".bin";
    case Kind::Text: return ".txt";
    case Kind::Repetitive: return ".rep";
    case Kind::Half: return ".mix";
  }
  return ".dat";
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Random: return "random";
    case Kind::Text: return "text";
    case Kind::Repetitive: return "repetitive";
    case Kind::Half: return "half/half";
  }
  return "?";
}

void FillRandom(Rng& rng, unsigned char* data, size_t size) {
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t value = rng.Next();
    std::memcpy(data + i, &value, 8);
  }
  if (i < size) {
    uint64_t value = rng.Next();
    std::memcpy(data + i, &value, size - i);
  }
}

// Words drawn from a small vocabulary compress roughly as prose does.
void FillText(Rng& rng, unsigned char* data, size_t size) {
  static const char* const kWords[] = {
      "the",      "setup",    "folder",  "program", "install", "file",    "data",
      "window",   "system",   "user",    "version", "update",  "copy",    "remove",
      "registry", "shortcut", "desktop", "start",   "menu",    "license", "agree",
      "next",     "back",     "cancel",  "finish",  "path",    "drive",   "space",
      "required", "free",     "size",    "of",      "and",     "to",      "in",
      "is",       "a",        "for",     "with",    "not",     "please",  "wait",
      "while",    "are",      "being",   "copied",  "done",    "error",   "retry",
      "ignore",   "abort",    "module",  "library", "config",  "value",   "key"};
  constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];
  size_t position = 0;
  while (position < size) {
    uint64_t bits = rng.Next();
    const char* word = kWords[bits % kWordCount];
    size_t length = std::strlen(word);
    size_t take = std::min(length, size - position);
    std::memcpy(data + position, word, take);
    position += take;
    if (position >= size) break;
    unsigned separator = static_cast<unsigned>((bits >> 32) % 16);
    data[position++] = separator == 0 ? '\n' : separator == 1 ? ',' : ' ';
  }
}

// A short pattern repeated, with a rare changed byte so that the data is
// not a single run.
void FillRepetitive(Rng& rng, unsigned char* data, size_t size) {
  size_t period = 16 + static_cast<size_t>(rng.Below(4080));
  std::vector<unsigned char> pattern(period);
  for (unsigned char& byte : pattern) byte = static_cast<unsigned char>(32 + rng.Below(95));
  for (size_t i = 0; i < size; ++i) data[i] = pattern[i % period];
  for (size_t i = 8192; i < size; i += 8192) data[i - rng.Below(64)] ^= 0x5A;
}

void FillContent(Kind kind, uint64_t seed, std::vector<unsigned char>& buffer) {
  Rng rng(seed);
  unsigned char* data = buffer.data();
  const size_t size = buffer.size();
  switch (kind) {
    case Kind::Random: FillRandom(rng, data, size); break;
    case Kind::Text: FillText(rng, data, size); break;
    case Kind::Repetitive: FillRepetitive(rng, data, size); break;
    case Kind::Half:
      FillRandom(rng, data, size / 2);
      FillText(rng, data + size / 2, size - size / 2);
      break;
  }
}

std::string PlannedFile::RelativePath() const {
  std::string path = PackageName();
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

Plan PlanPayloadBench() {
  constexpr size_t kMinTotalBytes = 200u * 1000u * 1000u;
  Rng rng(kPayloadBenchSeed);
  std::vector<size_t> sizes;
  for (int i = 0; i < 1100; ++i) sizes.push_back(rng.LogUniform(3 * 1024, 256 * 1024));
  for (int i = 0; i < 100; ++i) sizes.push_back(rng.LogUniform(256 * 1024, 2 * kMiB));
  for (int i = 0; i < 24; ++i) sizes.push_back(2 * kMiB + rng.Below(5 * kMiB));
  size_t total = 0;
  for (size_t size : sizes) total += size;
  while (total < kMinTotalBytes) {
    sizes.push_back(2 * kMiB + rng.Below(5 * kMiB));
    total += sizes.back();
  }
  Shuffle(rng, sizes);
  Plan plan = SpreadOverFolders(rng, sizes);
  SortByPackageName(plan);
  return plan;
}

Plan PlanPeerTree() {
  constexpr size_t kMinTotalBytes = 50 * kMiB;
  Rng rng(kPeerSeed);
  std::vector<size_t> sizes;
  for (int i = 0; i < 540; ++i) sizes.push_back(rng.LogUniform(2 * 1024, 256 * 1024));
  size_t total = 0;
  for (size_t size : sizes) total += size;
  while (total < kMinTotalBytes) {
    sizes.push_back(rng.LogUniform(kMiB / 2, 3 * kMiB));
    total += sizes.back();
  }
  Shuffle(rng, sizes);
  Plan plan = SpreadOverFolders(rng, sizes);
  // Every kind in every run, whatever the draw: the first four files get one
  // each, in the order the kinds are listed.
  for (int kind = 0; kind < kKindCount; ++kind) {
    PlannedFile& file = plan[static_cast<size_t>(kind)];
    file.kind = static_cast<Kind>(kind);
    file.name = file.name.substr(0, file.name.find('.')) + KindExtension(file.kind);
  }
  SortByPackageName(plan);
  return plan;
}

Plan PlanLargeTree() {
  Rng rng(kLargeSeed);
  Plan plan;
  for (int i = 1; i <= 20; ++i) {
    char name[32];
    PlannedFile random;
    random.folder = "data\\";
    std::snprintf(name, sizeof name, "random%02d.bin", i);
    random.name = name;
    random.size = 5 * kMiB;
    random.kind = Kind::Random;
    random.seed = rng.Next();
    plan.push_back(random);
    PlannedFile text;
    std::snprintf(name, sizeof name, "text%02d.txt", i);
    text.name = name;
    text.size = 5 * kMiB;
    text.kind = Kind::Text;
    text.seed = rng.Next();
    plan.push_back(text);
  }
  SortByPackageName(plan);
  return plan;
}

Plan PlanRemovalTree() {
  Rng rng(kRemovalSeed);
  Plan plan;
  for (int group = 0; group < 20; ++group) {
    for (int sub = 0; sub < 5; ++sub) {
      char folder[32];
      std::snprintf(folder, sizeof folder, "d%02d\\e%d\\", group, sub);
      for (int i = 0; i < 100; ++i) {
        PlannedFile file;
        file.folder = folder;
        char name[32];
        std::snprintf(name, sizeof name, "f%03d.dat", i);
        file.name = name;
        file.size = static_cast<size_t>(rng.Below(4097));
        file.kind = Kind::Text;
        file.seed = rng.Next();
        plan.push_back(std::move(file));
      }
    }
  }
  SortByPackageName(plan);
  return plan;
}

Plan PlanCountSeriesTree(int files) {
  Rng rng(kSeriesSeed + static_cast<uint64_t>(files));
  Plan plan;
  for (int i = 0; i < files; ++i) {
    PlannedFile file;
    char text[32];
    std::snprintf(text, sizeof text, "d%02d\\e%d\\", i / 500, i / 100 % 5);
    file.folder = text;
    file.size = 4096;
    file.kind = static_cast<Kind>(i % kKindCount);
    file.seed = rng.Next();
    std::snprintf(text, sizeof text, "f%03d%s", i % 100, KindExtension(file.kind));
    file.name = text;
    plan.push_back(std::move(file));
  }
  SortByPackageName(plan);
  return plan;
}

Plan PlanSizeSeriesTree(int megabytes) {
  Rng rng(kSeriesSeed - static_cast<uint64_t>(megabytes));
  Plan plan;
  const size_t total = static_cast<size_t>(megabytes) * 1000 * 1000;
  for (int i = 0; i < 40; ++i) {
    PlannedFile file;
    file.folder = i % 2 ? "data\\" : "";
    char name[32];
    file.kind = i % 2 ? Kind::Random : Kind::Text;
    std::snprintf(name, sizeof name, "part%02d%s", i, KindExtension(file.kind));
    file.name = name;
    // The first file takes what does not divide evenly.
    file.size = total / 40 + (i == 0 ? total % 40 : 0);
    file.seed = rng.Next();
    plan.push_back(std::move(file));
  }
  SortByPackageName(plan);
  return plan;
}

size_t TotalBytes(const Plan& plan) {
  size_t total = 0;
  for (const PlannedFile& file : plan) total += file.size;
  return total;
}

std::string StampText(const std::string& tag, const Plan& plan) {
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&](const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  };
  for (const PlannedFile& file : plan) {
    std::string name = file.PackageName();
    mix(name.data(), name.size());
    uint64_t fields[3] = {file.size, static_cast<uint64_t>(file.kind), file.seed};
    mix(fields, sizeof fields);
  }
  std::ostringstream text;
  text << tag << "\nfiles " << plan.size() << "\nbytes " << TotalBytes(plan) << "\nplan "
       << std::hex << hash << "\n";
  return text.str();
}

bool TreeIsReady(const std::string& root, const std::string& stampFile, const Plan& plan,
                 const std::string& stamp) {
  if (ReadText(stampFile) != stamp) return false;
  std::error_code error;
  for (const PlannedFile& file : plan) {
    if (fs::file_size(root + "/" + file.RelativePath(), error) != file.size || error) {
      return false;
    }
  }
  return true;
}

void WriteTree(const std::string& root, const std::string& stampFile, const Plan& plan,
               const std::string& stamp) {
  fs::remove(stampFile);
  fs::remove_all(root);
  std::vector<unsigned char> buffer;
  for (const PlannedFile& file : plan) {
    const std::string path = root + "/" + file.RelativePath();
    fs::create_directories(fs::path(path).parent_path());
    buffer.resize(file.size);
    FillContent(file.kind, file.seed, buffer);
    WriteWhole(path, buffer);
  }
  std::ofstream(stampFile, std::ios::binary) << stamp;
}

}  // namespace bench
