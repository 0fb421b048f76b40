// Throughput of the packer (one job against all cores) and of the payload
// reader's extraction against a plain zlib loop with large buffers, on a
// generated tree of mixed content. Run by `make bench`:
//   payload_bench WORKDIR [--json FILE]
// The numbers are only reported; the two checks that end the run with a
// failure are about correctness (identical packages, identical trees).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/BenchData.h"
#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"
#include "tools/pack/PackageWriter.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Bump the tag whenever the generator changes, so that an old tree is
// regenerated instead of being reused under the new plan.
constexpr char kStampTag[] = "payload-bench source tree 2";
constexpr uint64_t kImageSeed = 0x9E3779B97F4A7C15ull ^ 0x1111;
constexpr uint64_t kCapacitySeed = 0x9E3779B97F4A7C15ull ^ 0x2222;
constexpr size_t kImageSize = 638976;
constexpr size_t kMinTotalBytes = 200u * 1000u * 1000u;
constexpr size_t kMinFiles = 1000;
constexpr size_t kIoBuffer = 1 << 20;
// Paired rounds, each the reader and then the plain loop: a disturbance on
// the shared machine tends to hit both halves of one pair, so the median of
// the pairs' ratios is steadier than a ratio of two best times. Single
// extractions varied by 2x on a busy 2-core machine; nine pairs cost about
// 20 s and keep one bad pair from moving the median much.
constexpr int kExtractRounds = 9;
constexpr double kMB = 1e6;

// Reports a failed check and ends the run; the benchmark has no partial
// result worth keeping once one of its inputs or outputs is wrong.
[[noreturn]] void Fail(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "payload_bench: error: %s\n", message.c_str());
  std::exit(1);
}

// The source tree and the image that stands for the installer executable
// (code-like noise followed by tables that compress well). The stamp is
// written last, so an interrupted generation is never reused; the sizes
// are checked as well, in case files were touched since.
std::string SourceStamp(const bench::Plan& plan) {
  return bench::StampText(kStampTag, plan) + "image " + std::to_string(kImageSize) + "\n";
}

bool SourceIsReady(const std::string& workdir, const bench::Plan& plan, const std::string& stamp) {
  std::error_code error;
  if (fs::file_size(workdir + "/image.bin", error) != kImageSize || error) return false;
  return bench::TreeIsReady(workdir + "/source", workdir + "/source.stamp", plan, stamp);
}

void GenerateSource(const std::string& workdir, const bench::Plan& plan, const std::string& stamp) {
  fs::remove(workdir + "/source.stamp");
  std::vector<unsigned char> image(kImageSize);
  bench::Rng rng(kImageSeed);
  bench::FillRandom(rng, image.data(), kImageSize / 2);
  bench::FillRepetitive(rng, image.data() + kImageSize / 2, kImageSize - kImageSize / 2);
  std::ofstream(workdir + "/image.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  bench::WriteTree(workdir + "/source", workdir + "/source.stamp", plan, stamp);
}

struct FileSum {
  uint64_t size = 0;
  uint32_t crc = 0;
  bool operator==(const FileSum& other) const { return size == other.size && crc == other.crc; }
  bool operator!=(const FileSum& other) const { return !(*this == other); }
};
using TreeSums = std::map<std::string, FileSum>;

FileSum SumFile(const std::string& path, std::vector<unsigned char>& buffer) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open " + path + ": " + std::strerror(errno));
  FileSum sum;
  sum.crc = static_cast<uint32_t>(crc32(0, Z_NULL, 0));
  for (;;) {
    ssize_t count = read(fd, buffer.data(), buffer.size());
    if (count < 0) Fail("cannot read " + path + ": " + std::strerror(errno));
    if (count == 0) break;
    sum.crc = static_cast<uint32_t>(crc32(sum.crc, buffer.data(), static_cast<uInt>(count)));
    sum.size += static_cast<uint64_t>(count);
  }
  close(fd);
  return sum;
}

TreeSums SumTree(const std::string& root) {
  TreeSums sums;
  std::vector<unsigned char> buffer(kIoBuffer);
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (!item.is_regular_file()) continue;
    sums[fs::relative(item.path(), root).generic_string()] = SumFile(item.path().string(), buffer);
  }
  return sums;
}

// Names the first difference, for a failure message.
std::string FirstDifference(const TreeSums& a, const TreeSums& b) {
  for (const auto& [name, sum] : a) {
    auto other = b.find(name);
    if (other == b.end()) return name + " missing from the second tree";
    if (other->second != sum) return name + " differs (size or checksum)";
  }
  for (const auto& entry : b) {
    if (!a.count(entry.first)) return entry.first + " missing from the first tree";
  }
  return "no difference";
}

bool SameBytes(const std::string& pathA, const std::string& pathB) {
  std::ifstream a(pathA, std::ios::binary), b(pathB, std::ios::binary);
  if (!a || !b) return false;
  std::vector<char> bufferA(kIoBuffer), bufferB(kIoBuffer);
  for (;;) {
    a.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
    b.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
    if (a.gcount() != b.gcount()) return false;
    if (std::memcmp(bufferA.data(), bufferB.data(), static_cast<size_t>(a.gcount())) != 0) {
      return false;
    }
    if (a.gcount() == 0 || !a || !b) return a.eof() && b.eof();
  }
}

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Timing {
  double wall = 0;
  double cpu = 0;
};

Timing TimePack(const std::string& workdir, const std::vector<pack::PackEntry>& entries,
                unsigned jobs, const std::string& output) {
  pack::PackOptions options;
  options.imagePath = workdir + "/image.bin";
  options.outputPath = output;
  options.title = "bench";
  options.jobs = jobs;
  const double cpuStart = ProcessCpuSeconds();
  const auto start = Clock::now();
  try {
    pack::WritePackage(options, entries);
  } catch (const pack::PackError& error) {
    Fail(std::string("packing failed: ") + error.what());
  }
  Timing timing;
  timing.wall = Seconds(Clock::now() - start);
  timing.cpu = ProcessCpuSeconds() - cpuStart;
  return timing;
}

// On a shared virtual machine the cores may not all be available; the same
// fixed deflate work on one thread and then on every thread at once tells
// how much parallelism the pack runs could have had at this moment.
double ParallelCapacity(unsigned threads) {
  std::vector<unsigned char> text(2 * 1000 * 1000);
  bench::Rng rng(kCapacitySeed);
  bench::FillText(rng, text.data(), text.size());
  auto work = [&text] {
    std::vector<unsigned char> packed(compressBound(static_cast<uLong>(text.size())));
    for (int i = 0; i < 8; ++i) {
      uLongf size = static_cast<uLongf>(packed.size());
      compress2(packed.data(), &size, text.data(), static_cast<uLong>(text.size()),
                Z_DEFAULT_COMPRESSION);
    }
  };
  auto start = Clock::now();
  work();
  const double single = Seconds(Clock::now() - start);
  start = Clock::now();
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < threads; ++i) workers.emplace_back(work);
  for (std::thread& worker : workers) worker.join();
  return threads * single / Seconds(Clock::now() - start);
}

struct PlainEntry {
  std::string folder;  // native, relative, empty or ending in '/'
  std::string name;
  int64_t offset = 0;
  int64_t compressedSize = 0;
};

void ReadFully(int fd, unsigned char* data, size_t size, const std::string& what) {
  while (size > 0) {
    ssize_t count = read(fd, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail("cannot read " + what);
    data += count;
    size -= static_cast<size_t>(count);
  }
}

void WriteFully(int fd, const unsigned char* data, size_t size, const std::string& what) {
  while (size > 0) {
    ssize_t count = write(fd, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail("cannot write " + what);
    data += count;
    size -= static_cast<size_t>(count);
  }
}

// What a straightforward extractor does: per entry, seek to the stream, read
// exactly its compressed bytes in 1 MiB pieces and inflate into a 1 MiB
// buffer written out whenever it fills. Entries go in the reader's order
// (last first), so both see the package in the same access pattern.
void PlainExtract(const std::string& package, const std::string& target,
                  const std::vector<PlainEntry>& entries) {
  int archive = open(package.c_str(), O_RDONLY | O_CLOEXEC);
  if (archive < 0) Fail("cannot open " + package);
  std::vector<unsigned char> input(kIoBuffer), output(kIoBuffer);
  std::set<std::string> madeFolders;
  for (size_t k = entries.size(); k-- > 0;) {
    const PlainEntry& entry = entries[k];
    const std::string folder = target + "/" + entry.folder;
    if (madeFolders.insert(folder).second) fs::create_directories(folder);
    const std::string path = folder + entry.name;
    int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) Fail("cannot create " + path);
    if (lseek(archive, entry.offset, SEEK_SET) < 0) Fail("cannot seek in " + package);

    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit(&stream) != Z_OK) Fail("inflateInit failed");
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    int64_t remaining = entry.compressedSize;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
      if (stream.avail_in == 0) {
        if (remaining == 0) break;
        size_t piece = static_cast<size_t>(std::min<int64_t>(remaining, kIoBuffer));
        ReadFully(archive, input.data(), piece, package);
        remaining -= static_cast<int64_t>(piece);
        stream.next_in = input.data();
        stream.avail_in = static_cast<uInt>(piece);
      }
      result = inflate(&stream, Z_NO_FLUSH);
      if (result != Z_OK && result != Z_STREAM_END) break;
      if (stream.avail_out == 0 || result == Z_STREAM_END) {
        WriteFully(out, output.data(), output.size() - stream.avail_out, path);
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
      }
    }
    inflateEnd(&stream);
    close(out);
    if (result != Z_STREAM_END || remaining != 0 || stream.avail_in != 0) {
      Fail("plain extraction of " + path + " did not end with its stream");
    }
  }
  close(archive);
}

// The previous run's tree is renamed aside rather than deleted: creating
// files right after deleting many is much slower on some file systems, and
// that cost, landing in whichever run came next, swamped the difference
// being measured. Pending writes are flushed so that one run's writeback
// does not land inside the next. The trees set aside go at the end.
void PrepareOutput(const std::string& folder) {
  static int setAside = 0;
  if (fs::exists(folder)) {
    fs::create_directories(fs::path(folder).parent_path() / "old-runs");
    fs::rename(folder, fs::path(folder).parent_path() / "old-runs" / std::to_string(++setAside));
  }
  fs::create_directories(folder);
  sync();
}

void RemoveOldRuns(const std::string& workdir) { fs::remove_all(fs::path(workdir) / "old-runs"); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string NumberList(const std::vector<double>& values, const char* format,
                       const char* separator) {
  std::string text;
  char piece[32];
  for (double value : values) {
    std::snprintf(piece, sizeof piece, format, value);
    text += (text.empty() ? "" : separator) + std::string(piece);
  }
  return text;
}

std::string RunList(const std::vector<double>& values) { return NumberList(values, "%.2f", " "); }

struct Figures {
  size_t files = 0;
  size_t bytes = 0;
  double packOneJob = 0;
  double packAllJobs = 0;
  unsigned cores = 0;
  std::vector<double> readerRuns;
  std::vector<double> plainRuns;
  std::vector<double> ratios;
};

// For make bench's report, which gathers the figures of every part.
void WriteJson(const std::string& path, const Figures& figures) {
  std::ofstream out(path, std::ios::binary);
  out << "{\"files\": " << figures.files << ", \"bytes\": " << figures.bytes
      << ", \"pack_s\": {\"jobs_1\": " << figures.packOneJob << ", \"jobs_" << figures.cores
      << "\": " << figures.packAllJobs << "}, \"rounds\": " << figures.readerRuns.size()
      << ", \"extractall_s\": [" << NumberList(figures.readerRuns, "%.4f", ", ")
      << "], \"plain_s\": [" << NumberList(figures.plainRuns, "%.4f", ", ")
      << "], \"ratios\": [" << NumberList(figures.ratios, "%.4f", ", ")
      << "], \"median_extractall_s\": " << Median(figures.readerRuns)
      << ", \"median_plain_s\": " << Median(figures.plainRuns)
      << ", \"median_ratio\": " << Median(figures.ratios) << "}\n";
  if (!out) Fail("cannot write " + path);
}

int Run(const std::string& workdir, const std::string& jsonPath) {
  fs::create_directories(workdir);
  std::printf("payload_bench  workdir %s  (MB = 10^6 bytes)\n\n", workdir.c_str());

  // --- source tree ---------------------------------------------------------
  const bench::Plan plan = bench::PlanPayloadBench();
  const std::string stamp = SourceStamp(plan);
  size_t totalBytes = 0;
  size_t kindBytes[4] = {0, 0, 0, 0};
  for (const bench::PlannedFile& file : plan) {
    totalBytes += file.size;
    kindBytes[static_cast<int>(file.kind)] += file.size;
  }
  if (plan.size() < kMinFiles || totalBytes < kMinTotalBytes) Fail("plan below its minimum");
  const auto generationStart = Clock::now();
  const bool reused = SourceIsReady(workdir, plan, stamp);
  if (!reused) GenerateSource(workdir, plan, stamp);
  const double generationSeconds = Seconds(Clock::now() - generationStart);

  // Reading the tree once puts it in the page cache for both pack runs and
  // gives the checksums the extracted trees must match.
  const auto sumStart = Clock::now();
  const TreeSums sourceSums = SumTree(workdir + "/source");
  const double sumSeconds = Seconds(Clock::now() - sumStart);
  if (sourceSums.size() != plan.size()) Fail("source tree holds unexpected files");

  std::printf("source   %zu files, %.1f MB, image %zu bytes\n", plan.size(), totalBytes / kMB,
              kImageSize);
  std::printf("         random %.1f MB, text %.1f MB, repetitive %.1f MB, half/half %.1f MB\n",
              kindBytes[0] / kMB, kindBytes[1] / kMB, kindBytes[2] / kMB, kindBytes[3] / kMB);
  std::printf("         %s in %.2f s; checksum pass %.2f s\n\n",
              reused ? "reused (stamp and sizes match), checked" : "generated", generationSeconds,
              sumSeconds);

  // --- packing -------------------------------------------------------------
  std::vector<pack::PackEntry> entries;
  for (const bench::PlannedFile& file : plan) {
    entries.push_back({file.folder, file.name, workdir + "/source/" + file.RelativePath()});
  }
  unsigned cores = std::thread::hardware_concurrency();
  if (cores == 0) cores = 1;
  const std::string packageOne = workdir + "/bench-1job.pkg";
  const std::string packageAll = workdir + "/bench-njobs.pkg";
  const double capacity = ParallelCapacity(cores);
  const Timing one = TimePack(workdir, entries, 1, packageOne);
  const Timing all = TimePack(workdir, entries, cores, packageAll);
  if (!SameBytes(packageOne, packageAll)) {
    Fail("packages written with 1 and " + std::to_string(cores) + " jobs differ");
  }
  const double packageBytes = static_cast<double>(fs::file_size(packageAll));
  std::printf("pack                       wall s   cpu s   MB/s in\n");
  std::printf("  jobs=1                   %6.2f  %6.2f  %8.1f\n", one.wall, one.cpu,
              totalBytes / kMB / one.wall);
  std::printf("  jobs=%-2u                  %6.2f  %6.2f  %8.1f\n", cores, all.wall, all.cpu,
              totalBytes / kMB / all.wall);
  std::printf("  package %.1f MB (%.1f%% of input), identical for both job counts\n",
              packageBytes / kMB, 100.0 * packageBytes / static_cast<double>(totalBytes));
  std::printf("  cpu check before packing: %u threads of fixed deflate work ran %.2fx one\n\n",
              cores, capacity);

  // --- extraction ----------------------------------------------------------
  const std::string readerOut = workdir + "/out-reader";
  const std::string plainOut = workdir + "/out-plain";
  auto reader = std::make_unique<payload::PayloadReader>(packageAll);
  std::vector<PlainEntry> plainEntries;
  {
    auto directory = std::make_unique<payload::PayloadReader>(packageAll);
    int32_t code = directory->ReadDirectory(packageAll);
    if (code != payload::PAYLOAD_OK) Fail("ReadDirectory returned " + std::to_string(code));
    for (int32_t i = 0; i < directory->GetEntryCount(); ++i) {
      const payload::DirectoryRecord& record = directory->GetRecord(i);
      PlainEntry entry;
      entry.folder = record.folderName;
      std::replace(entry.folder.begin(), entry.folder.end(), '\\', '/');
      entry.name = record.fileName;
      entry.offset = record.offset;
      entry.compressedSize = record.compressedSize;
      plainEntries.push_back(std::move(entry));
    }
  }

  std::vector<double> readerRuns, plainRuns;
  RemoveOldRuns(workdir);
  for (int round = 0; round < kExtractRounds; ++round) {
    PrepareOutput(readerOut);
    auto start = Clock::now();
    const int32_t code = reader->ExtractAll(readerOut, nullptr, 0);
    readerRuns.push_back(Seconds(Clock::now() - start));
    if (code == payload::PAYLOAD_FILE_ERROR) {
      const payload::FileError& error = reader->GetFileError();
      Fail("ExtractAll: cannot read or write " + error.fileName() + ": " +
           payload::DescribeSystemError(error.code()));
    }
    if (code != payload::PAYLOAD_OK) Fail("ExtractAll returned " + std::to_string(code));

    PrepareOutput(plainOut);
    start = Clock::now();
    PlainExtract(packageAll, plainOut, plainEntries);
    plainRuns.push_back(Seconds(Clock::now() - start));
  }

  const TreeSums readerSums = SumTree(readerOut);
  const TreeSums plainSums = SumTree(plainOut);
  RemoveOldRuns(workdir);
  if (readerSums != plainSums) {
    Fail("reader and plain trees differ: " + FirstDifference(readerSums, plainSums));
  }
  if (readerSums != sourceSums) {
    Fail("extracted tree differs from the source: " + FirstDifference(sourceSums, readerSums));
  }

  Figures figures;
  figures.files = plan.size();
  figures.bytes = totalBytes;
  figures.packOneJob = one.wall;
  figures.packAllJobs = all.wall;
  figures.cores = cores;
  figures.readerRuns = readerRuns;
  figures.plainRuns = plainRuns;
  for (int round = 0; round < kExtractRounds; ++round) {
    figures.ratios.push_back(plainRuns[round] / readerRuns[round]);
  }
  const double readerMedian = Median(readerRuns);
  const double plainMedian = Median(plainRuns);
  std::printf("extract (%d paired rounds)  median s  MB/s out   runs s\n", kExtractRounds);
  std::printf("  reader ExtractAll        %6.2f  %8.1f   %s\n", readerMedian,
              totalBytes / kMB / readerMedian, RunList(readerRuns).c_str());
  std::printf("  plain zlib, 1 MiB bufs   %6.2f  %8.1f   %s\n", plainMedian,
              totalBytes / kMB / plainMedian, RunList(plainRuns).c_str());
  std::printf("  plain/ExtractAll per round: %s\n", RunList(figures.ratios).c_str());
  std::printf("  trees identical to each other and to the source (%zu files, size + crc32)\n\n",
              readerSums.size());

  std::printf("extract ratio (plain time / ExtractAll time, median of %d rounds): %.2f\n",
              kExtractRounds, Median(figures.ratios));
  std::printf("pack speed-up (%u jobs / 1 job): %.2f\n", cores, one.wall / all.wall);
  if (!jsonPath.empty()) WriteJson(jsonPath, figures);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool withJson = argc == 4 && std::string(argv[2]) == "--json";
  if (argc != 2 && !withJson) {
    std::fprintf(stderr, "usage: payload_bench WORKDIR [--json FILE]\n");
    return 2;
  }
  try {
    return Run(argv[1], withJson ? argv[3] : "");
  } catch (const std::exception& error) {
    Fail(error.what());
  }
}
