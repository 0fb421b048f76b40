#include "tools/pack/PackageWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "install/FolderRules.h"
#include "payload/NameRules.h"
#include "payload/PayloadFormat.h"
#include "tools/pack/PeChecksum.h"

namespace pack {
namespace {

constexpr size_t kChunk = 1 << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

std::string SystemMessage(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// Every path below the install folder must fit MAX_PATH with its NUL. No
// folder is shorter than "C:\", so a longer name can never be installed;
// one that does not fit below the default folder of a 32-bit program on
// 64-bit Windows needs a folder shorter than most users choose.
void CheckNameFitsInstallFolders(const std::string& name) {
  static const char kShortestFolder[] = "C:\\";
  static const char kDefaultFolder64[] = "C:\\Program Files (x86)\\Tavisk\\Parvane\\";
  auto fitsBelow = [&](const char* folder) {
    return install::CheckInstallFolder(folder, name.size()) != install::FolderProblem::kTooLong;
  };
  if (!fitsBelow(kShortestFolder)) {
    throw PackError("name too long for any install folder: " + std::to_string(name.size()) +
                    " bytes (at most " +
                    std::to_string(payload::kMaxPath - sizeof kShortestFolder) + "): \"" + name +
                    "\"");
  }
  if (!fitsBelow(kDefaultFolder64)) {
    std::fprintf(stderr,
                 "parvane-pack: warning: \"%s\" (%zu bytes) does not fit below %s; it installs "
                 "only into a shorter folder\n",
                 name.c_str(), name.size(), kDefaultFolder64);
  }
}

void CheckEntries(const PackOptions& options, const std::vector<PackEntry>& entries) {
  if (entries.empty()) throw PackError("no entries to pack: a package needs at least one");
  if (entries.size() > static_cast<size_t>(payload::kMaxEntries)) {
    throw PackError("too many entries: " + std::to_string(entries.size()) + " (at most " +
                    std::to_string(payload::kMaxEntries) + ")");
  }
  if (options.title.size() > static_cast<size_t>(payload::kMaxNameLength)) {
    throw PackError("title too long: " + std::to_string(options.title.size()) +
                    " bytes (at most 999)");
  }
  std::set<std::string> seen;
  for (const PackEntry& entry : entries) {
    const std::string name = entry.folderName + entry.fileName;
    if (entry.fileName.empty() || entry.fileName.size() > payload::kMaxNameLength) {
      throw PackError("file name of 1 to 999 bytes needed: \"" + name + "\"");
    }
    if (entry.folderName.size() > payload::kMaxNameLength) {
      throw PackError("folder name longer than 999 bytes: \"" + name + "\"");
    }
    if (!entry.folderName.empty() && !payload::EndsWithBackslash(entry.folderName)) {
      throw PackError("folder name must end in a backslash: \"" + name + "\"");
    }
    if (!payload::IsEntryNameSafe(entry.folderName, entry.fileName)) {
      throw PackError("unsafe name (leaves the install folder or names a device): \"" + name + "\"");
    }
    CheckNameFitsInstallFolders(name);
    if (!seen.insert(name).second) {
      std::fprintf(stderr, "parvane-pack: warning: \"%s\" appears twice; the first entry wins\n",
                   name.c_str());
    }
  }
}

// Writes to "<output>.partial.<pid>" and renames it over the output only
// once everything is written and flushed.
class TemporaryOutput {
 public:
  explicit TemporaryOutput(const std::string& finalPath)
      : finalPath_(finalPath),
        path_(finalPath + ".partial." + std::to_string(getpid())) {
    file_.reset(std::fopen(path_.c_str(), "wb"));
    if (!file_) throw PackError(SystemMessage("cannot create", path_));
  }
  ~TemporaryOutput() {
    if (!committed_) {
      file_.reset();
      std::remove(path_.c_str());
    }
  }
  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;

  void Write(const void* data, size_t size) {
    if (size > 0 && std::fwrite(data, 1, size, file_.get()) != size) {
      throw PackError(SystemMessage("cannot write", path_));
    }
    checksum_.Add(data, size);
    position_ += static_cast<int64_t>(size);
  }
  // The PE checksum field at `offset`, written as zero, gets the checksum
  // of the whole file when it is committed.
  void FillChecksumAt(size_t offset) { checksumAt_ = offset; }
  void WriteInt32(int64_t value) {
    const auto v = static_cast<uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16),
                                    static_cast<unsigned char>(v >> 24)};
    Write(bytes, sizeof bytes);
  }
  void WriteText(const std::string& text) { Write(text.data(), text.size()); }
  int64_t position() const { return position_; }

  void Commit() {
    if (checksumAt_ != 0) {
      const uint32_t value = checksum_.Value();
      const unsigned char bytes[4] = {static_cast<unsigned char>(value),
                                      static_cast<unsigned char>(value >> 8),
                                      static_cast<unsigned char>(value >> 16),
                                      static_cast<unsigned char>(value >> 24)};
      if (std::fseek(file_.get(), static_cast<long>(checksumAt_), SEEK_SET) != 0 ||
          std::fwrite(bytes, 1, sizeof bytes, file_.get()) != sizeof bytes) {
        throw PackError(SystemMessage("cannot write", path_));
      }
    }
    if (std::fflush(file_.get()) != 0 || fsync(fileno(file_.get())) != 0) {
      throw PackError(SystemMessage("cannot write", path_));
    }
    if (std::fclose(file_.release()) != 0) throw PackError(SystemMessage("cannot write", path_));
    if (std::rename(path_.c_str(), finalPath_.c_str()) != 0) {
      throw PackError(SystemMessage("cannot rename to", finalPath_));
    }
    committed_ = true;
  }

 private:
  std::string finalPath_;
  std::string path_;
  FilePtr file_;
  int64_t position_ = 0;
  PeChecksum checksum_;
  size_t checksumAt_ = 0;
  bool committed_ = false;
};

// Compresses entries on worker threads and hands them out strictly in entry
// order. Workers run ahead of the writer by source bytes, not by entries: a
// count limit stalls every thread behind one large file, while a byte limit
// keeps memory bounded and the threads busy.
class ParallelCompressor {
 public:
  static constexpr int64_t kAheadBytes = 64 << 20;

  ParallelCompressor(const std::vector<PackEntry>& entries, const PackOptions& options)
      : entries_(entries), options_(options), slots_(entries.size()),
        sourceBytesBefore_(entries.size() + 1, 0) {
    for (size_t i = 0; i < entries.size(); ++i) {
      struct stat info;
      const int64_t size = stat(entries[i].sourcePath.c_str(), &info) == 0 ? info.st_size : 0;
      sourceBytesBefore_[i + 1] = sourceBytesBefore_[i] + size;
    }
    jobs_ = options.jobs == 0 ? 1 : options.jobs;
    for (unsigned i = 0; i < jobs_; ++i) workers_.emplace_back([this] { Work(); });
  }
  ~ParallelCompressor() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  ParallelCompressor(const ParallelCompressor&) = delete;
  ParallelCompressor& operator=(const ParallelCompressor&) = delete;

  // Waits for entry `index` and takes its stream; throws its failure.
  CompressedFile Take(size_t index) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return slots_[index].ready; });
    Slot& slot = slots_[index];
    if (!slot.error.empty()) throw PackError(slot.error);
    CompressedFile result = std::move(slot.file);
    taken_ = index + 1;
    changed_.notify_all();
    return result;
  }

 private:
  struct Slot {
    CompressedFile file;
    std::string error;
    bool ready = false;
  };

  void Work() {
    for (;;) {
      size_t index;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || MayStartNext(); });
        if (stopping_ || next_ >= slots_.size()) return;
        index = next_++;
      }
      CompressedFile file;
      std::string error;
      try {
        file = CompressFile(entries_[index].sourcePath, options_.level, options_.windowBits);
      } catch (const std::exception& failure) {
        // Out of memory too: a worker must never end the process.
        error = failure.what();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_[index].file = std::move(file);
        slots_[index].error = std::move(error);
        slots_[index].ready = true;
      }
      changed_.notify_all();
    }
  }

  bool MayStartNext() const {
    if (next_ >= slots_.size() || next_ < taken_ + jobs_) return true;
    return sourceBytesBefore_[next_ + 1] - sourceBytesBefore_[taken_] <= kAheadBytes;
  }

  const std::vector<PackEntry>& entries_;
  const PackOptions& options_;
  std::vector<Slot> slots_;
  std::vector<int64_t> sourceBytesBefore_;
  unsigned jobs_ = 1;
  size_t next_ = 0;
  size_t taken_ = 0;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::thread> workers_;
};

void CopyImage(const std::string& imagePath, TemporaryOutput& output) {
  FilePtr image(std::fopen(imagePath.c_str(), "rb"));
  if (!image) throw PackError(SystemMessage("cannot open image", imagePath));
  std::vector<unsigned char> buffer(kChunk);
  for (bool first = true;; first = false) {
    size_t count = std::fread(buffer.data(), 1, buffer.size(), image.get());
    // A PE image's checksum is made again for the whole package.
    const size_t checksumAt = first ? PeChecksum::FieldOffset(buffer.data(), count) : 0;
    if (checksumAt != 0) {
      std::fill_n(buffer.begin() + static_cast<std::ptrdiff_t>(checksumAt), 4, 0);
      output.FillChecksumAt(checksumAt);
    }
    output.Write(buffer.data(), count);
    if (count < buffer.size()) break;
  }
  if (std::ferror(image.get())) throw PackError(SystemMessage("cannot read image", imagePath));
}

}  // namespace

PackEntry SplitPackageName(const std::string& name) {
  std::vector<size_t> separators = payload::BackslashPositions(name);
  PackEntry entry;
  if (separators.empty()) {
    entry.fileName = name;
  } else {
    entry.folderName = name.substr(0, separators.back() + 1);
    entry.fileName = name.substr(separators.back() + 1);
  }
  return entry;
}

CompressedFile CompressFile(const std::string& path, int level, int windowBits) {
  FilePtr source(std::fopen(path.c_str(), "rb"));
  if (!source) throw PackError(SystemMessage("cannot open", path));

  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw PackError("cannot start compression of " + path);
  }
  std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, deflateEnd);

  CompressedFile result;
  std::vector<unsigned char> input(kChunk);
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    size_t count = std::fread(input.data(), 1, input.size(), source.get());
    if (std::ferror(source.get())) throw PackError(SystemMessage("cannot read", path));
    flush = count < input.size() ? Z_FINISH : Z_NO_FLUSH;
    result.inflatedSize += static_cast<int64_t>(count);
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(count);
    do {
      size_t used = result.stream.size();
      size_t room = deflateBound(&stream, stream.avail_in) + 64;
      result.stream.resize(used + room);
      stream.next_out = result.stream.data() + used;
      stream.avail_out = static_cast<uInt>(room);
      deflate(&stream, flush);
      result.stream.resize(used + room - stream.avail_out);
    } while (stream.avail_out == 0 || stream.avail_in > 0);
  }
  if (result.inflatedSize > payload::kMaxOffset) {
    throw PackError(path + " is too large: files of 2 GiB or more cannot be packed");
  }
  return result;
}

void WritePackage(const PackOptions& options, const std::vector<PackEntry>& entries) {
  CheckEntries(options, entries);
  TemporaryOutput output(options.outputPath);
  CopyImage(options.imagePath, output);

  struct Placed {
    int64_t offset, inflated, compressed;
  };
  std::vector<Placed> placed(entries.size());
  {
    ParallelCompressor compressor(entries, options);
    for (size_t i = 0; i < entries.size(); ++i) {
      CompressedFile file = compressor.Take(i);
      placed[i] = {output.position(), file.inflatedSize,
                   static_cast<int64_t>(file.stream.size())};
      if (placed[i].offset + placed[i].compressed > payload::kMaxOffset) {
        throw PackError("package too large: entry \"" + entries[i].folderName +
                        entries[i].fileName + "\" would end beyond 2 GiB");
      }
      output.Write(file.stream.data(), file.stream.size());
    }
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    output.WriteInt32(placed[i].offset);
    output.WriteInt32(placed[i].inflated);
    output.WriteInt32(placed[i].compressed);
    output.WriteText(entries[i].fileName);
    output.WriteInt32(static_cast<int64_t>(entries[i].fileName.size()));
    output.WriteText(entries[i].folderName);
    output.WriteInt32(static_cast<int64_t>(entries[i].folderName.size()));
  }
  output.WriteText(options.title);
  output.WriteInt32(static_cast<int64_t>(options.title.size()));
  output.WriteInt32(static_cast<int64_t>(entries.size()));
  output.Write(payload::kVersion, payload::kVersionSize);
  output.Write(payload::kMagic, payload::kMagicSize);
  output.Commit();
}

}  // namespace pack
