// Fuzz entry point for the payload reader. Each input is written out as a
// package file, listed, and extracted into a fresh folder while the progress
// reports are checked. A broken promise aborts, so that libFuzzer or the
// sanitizer replay keeps the input that broke it.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"

namespace {

using payload::DirectoryRecord;
using payload::PayloadReader;

// A stream can inflate to a thousand times its size and many records can
// point at the same one. The file size limit turns a huge output into a
// failed write; the report budget bounds the work of one input as a whole.
constexpr rlim_t kFileSizeLimit = 8u << 20;
constexpr uint32_t kProgressBudget = 4096;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "payload fuzz: %s\n", what);
  std::abort();
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* item = readdir(dir)) {
      std::string name = item->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& path) {
  nftw(
      path.c_str(),
      [](const char* name, const struct stat*, int, struct FTW*) {
        std::remove(name);
        return 0;
      },
      16, FTW_DEPTH | FTW_PHYS);
}

// root/a/b holds the package and the target folder. The two folders above it
// are sentinels: a name that climbs out of the target by up to three levels
// leaves something where only the known names may be.
class Workspace {
 public:
  Workspace() {
    const char* base = std::getenv("TMPDIR");
    // Output paths must stay below 260 bytes, so a long TMPDIR is not used.
    std::string pattern = base && *base && std::strlen(base) < 64 ? base : "/tmp";
    pattern += "/pfz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Broken("mkdtemp failed");
    root_ = pattern;
    if (mkdir((root_ + "/a").c_str(), 0700) != 0 ||
        mkdir((root_ + "/a/b").c_str(), 0700) != 0) {
      Broken("cannot create the work folders");
    }
    package_ = root_ + "/a/b/p";
    target_ = root_ + "/a/b/t";

    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0) {
      limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, kFileSizeLimit);
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    signal(SIGXFSZ, SIG_IGN);
  }
  ~Workspace() { RemoveTree(root_); }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::string& package() const { return package_; }
  const std::string& target() const { return target_; }

  void WritePackage(const uint8_t* data, size_t size) const {
    int fd = open(package_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) Broken("cannot create the package file");
    while (size > 0) {
      ssize_t count = write(fd, data, size);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) Broken("cannot write the package file (input too large?)");
      data += count;
      size -= static_cast<size_t>(count);
    }
    close(fd);
  }

  // The target starts with two planted links: "L" leads to the folder that
  // holds the package and the target, "F" to the package itself. An entry
  // that writes through either leaves a stranger beside the package or
  // changes the package, and CheckNothingEscaped or the next read sees it.
  void ResetTarget() const {
    RemoveTree(target_);
    if (mkdir(target_.c_str(), 0700) != 0) Broken("cannot create the target folder");
    if (symlink((root_ + "/a/b").c_str(), (target_ + "/L").c_str()) != 0 ||
        symlink(package_.c_str(), (target_ + "/F").c_str()) != 0) {
      Broken("cannot plant the links");
    }
  }

  void CheckPackageUnchanged(const uint8_t* data, size_t size) const {
    std::vector<uint8_t> bytes(size + 1);
    int fd = open(package_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Broken("the package went away");
    size_t total = 0;
    for (;;) {
      ssize_t count = read(fd, bytes.data() + total, bytes.size() - total);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      total += static_cast<size_t>(count);
      if (total == bytes.size()) break;
    }
    close(fd);
    if (total != size || (size > 0 && std::memcmp(bytes.data(), data, size) != 0)) {
      Broken("the package was written through a link");
    }
  }

  void CheckLinksStayed() const {
    struct stat info;
    if (lstat((target_ + "/L").c_str(), &info) != 0 || !S_ISLNK(info.st_mode) ||
        lstat((target_ + "/F").c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      Broken("a planted link was removed or replaced");
    }
  }

  void CheckNothingEscaped() const {
    if (Names(root_) != std::vector<std::string>{"a"} ||
        Names(root_ + "/a") != std::vector<std::string>{"b"} ||
        Names(root_ + "/a/b") != std::vector<std::string>{"p", "t"}) {
      Broken("extraction wrote outside the target folder");
    }
  }

  // Regular files below the target; anything but files, folders and the two
  // planted links is a fault, the reader makes nothing else.
  size_t CountTargetFiles() const {
    static size_t files;
    static bool strange;
    files = 0;
    strange = false;
    nftw(
        target_.c_str(),
        [](const char* path, const struct stat* info, int type, struct FTW* where) {
          const char* name = path + where->base;
          const bool planted = where->level == 1 && (std::strcmp(name, "L") == 0 ||
                                                     std::strcmp(name, "F") == 0);
          if (type == FTW_F && S_ISREG(info->st_mode)) {
            ++files;
          } else if (type == FTW_SL && planted) {
            // left alone
          } else if (type != FTW_D && type != FTW_DP) {
            strange = true;
          }
          return 0;
        },
        16, FTW_PHYS);
    if (strange) Broken("the target holds something that is neither file nor folder");
    return files;
  }

 private:
  std::string root_;
  std::string package_;
  std::string target_;
};

struct Observation {
  const PayloadReader* reader = nullptr;
  const void* open = nullptr;  // the entry begun and not yet done
  int32_t lastBegun = INT32_MAX;
  uint32_t lastPercent = 0;
  int32_t begun = 0;
  int32_t done = 0;
  uint32_t reports = 0;
};

// The table index `value` points at, or -1 when it is not exactly one of the
// loaded records. Compared as integers: the pointer may be anything.
struct WorkBudgetSpent {};

int32_t TableIndex(const Observation& seen, const void* value) {
  const auto first = reinterpret_cast<uintptr_t>(&seen.reader->GetRecord(0));
  const auto at = reinterpret_cast<uintptr_t>(value);
  if (at < first) return -1;
  const uintptr_t distance = at - first;
  if (distance % sizeof(DirectoryRecord) != 0) return -1;
  const uintptr_t index = distance / sizeof(DirectoryRecord);
  if (index >= static_cast<uintptr_t>(seen.reader->GetEntryCount())) return -1;
  return static_cast<int32_t>(index);
}

int32_t Observe(int32_t code, const void* value, uintptr_t userValue) {
  Observation& seen = *reinterpret_cast<Observation*>(userValue);
  switch (code) {
    case payload::PROGRESS_ENTRY_BEGIN: {
      const int32_t index = TableIndex(seen, value);
      if (index < 0) Broken("entry begin points outside the record table");
      if (index >= seen.lastBegun) Broken("entries not begun last to first, once each");
      seen.lastBegun = index;
      seen.open = value;
      seen.lastPercent = 0;
      ++seen.begun;
      return 0;
    }
    case payload::PROGRESS_ENTRY_DONE:
      if (TableIndex(seen, value) < 0) Broken("entry done points outside the record table");
      if (value != seen.open) Broken("entry done without a begin of the same entry");
      seen.open = nullptr;
      ++seen.done;
      return 0;
    case payload::PROGRESS_PERCENT: {
      if (seen.open == nullptr) Broken("percentage reported outside an entry");
      if (value == nullptr) Broken("percentage without a value");
      uint32_t percent;
      std::memcpy(&percent, value, sizeof percent);
      if (percent > 100) Broken("percentage above 100");
      if (percent < seen.lastPercent) Broken("percentage went back within an entry");
      seen.lastPercent = percent;
      // Stops work that would take too long: the reader's objects must
      // unwind cleanly (the entry's partial file stays, as nobody removes it).
      if (++seen.reports > kProgressBudget) throw WorkBudgetSpent();
      return 0;
    }
    default:
      Broken("unknown progress code");
  }
}

bool IsResultCode(int32_t result) {
  switch (result) {
    case payload::PAYLOAD_OPEN_FAILED:
    case payload::PAYLOAD_BAD_TRAILER:
    case payload::PAYLOAD_OK:
    case payload::PAYLOAD_NO_ENTRIES:
    case payload::PAYLOAD_ENTRY_FAILED:
    case payload::PAYLOAD_REOPEN_FAILED:
    case payload::PAYLOAD_FILE_ERROR:
      return true;
    default:
      return false;
  }
}

void CheckLoadedTable(const PayloadReader& reader, int32_t result) {
  if (!IsResultCode(result)) Broken("ReadDirectory returned an unknown code");
  if (result != payload::PAYLOAD_OK) {
    if (reader.GetEntryCount() != 0) Broken("failed ReadDirectory left entries behind");
    return;
  }
  const int32_t count = reader.GetEntryCount();
  if (count <= 0 || count > payload::kMaxEntries) Broken("entry count out of range");
  if (reader.GetTitle().size() > static_cast<size_t>(payload::kMaxNameLength)) {
    Broken("title longer than the limit");
  }
  for (int32_t i = 0; i < count; ++i) {
    const DirectoryRecord& record = reader.GetRecord(i);
    if (record.folderName.size() > static_cast<size_t>(payload::kMaxNameLength) ||
        record.fileName.size() > static_cast<size_t>(payload::kMaxNameLength)) {
      Broken("name longer than the limit");
    }
  }
}

void RunOne(const Workspace& work, const uint8_t* data, size_t size) {
  work.WritePackage(data, size);
  work.ResetTarget();

  auto reader = std::make_unique<PayloadReader>(work.package());
  const int32_t listed = reader->ReadDirectory(work.package());
  // The file is whole and does not change: a read failure here means the
  // reader read past a bound it should have checked.
  if (listed == payload::PAYLOAD_FILE_ERROR) Broken("ReadDirectory failed to read an intact file");
  CheckLoadedTable(*reader, listed);
  const int32_t listedCount = reader->GetEntryCount();
  const std::string title = reader->GetTitle();

  Observation seen;
  seen.reader = reader.get();
  bool threw = false;
  int32_t extracted = 0;
  try {
    extracted = reader->ExtractAll(work.target(), Observe,
                                   reinterpret_cast<uintptr_t>(&seen));
  } catch (const WorkBudgetSpent&) {
    threw = true;
  }
  if (extracted == payload::PAYLOAD_FILE_ERROR) {
    // Only the size limit may fail a write; any other failure means a read
    // or seek went wrong on a file that is fine.
    const payload::FileError& error = reader->GetFileError();
    if (error.code() != EFBIG && error.code() != ENOSPC) {
      std::fprintf(stderr, "payload fuzz: file error %u on %s\n", error.code(),
                   error.fileName().c_str());
      Broken("unexpected file error during extraction");
    }
    if (seen.open == nullptr) Broken("a file error outside an entry");
  } else if (!threw) {
    if (!IsResultCode(extracted)) Broken("ExtractAll returned an unknown code");
    if (listed != payload::PAYLOAD_OK) {
      // The same file read twice must fail the same way, before any entry.
      if (extracted != listed) Broken("ExtractAll and ReadDirectory disagree");
      if (seen.begun != 0) Broken("entries begun without a directory");
      if (reader->GetEntryCount() != 0) Broken("failed ExtractAll left entries behind");
    } else {
      if (reader->GetEntryCount() != listedCount || reader->GetTitle() != title) {
        Broken("the second directory read differs from the first");
      }
      if (extracted == payload::PAYLOAD_OK) {
        if (seen.done != listedCount) Broken("OK although not every entry was done");
      } else if (extracted == payload::PAYLOAD_ENTRY_FAILED) {
        if (seen.done >= listedCount) Broken("ENTRY_FAILED although every entry was done");
      } else if (extracted != payload::PAYLOAD_REOPEN_FAILED) {
        Broken("ExtractAll failed a directory that ReadDirectory accepted");
      }
      if (extracted != payload::PAYLOAD_REOPEN_FAILED && seen.begun != listedCount) {
        Broken("not every entry was begun");
      }
    }
  }

  work.CheckNothingEscaped();
  work.CheckLinksStayed();
  work.CheckPackageUnchanged(data, size);
  // A failed entry leaves no file behind, so files never outnumber done
  // entries; only the harness's own stop leaves the open entry's file.
  if (work.CountTargetFiles() > static_cast<size_t>(seen.done) + (threw ? 1 : 0)) {
    Broken("more files than completed entries");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Workspace work;
  RunOne(work, data, size);
  return 0;
}
