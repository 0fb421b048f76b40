#include "payload/PayloadReader.h"

#include <cstring>
#include <vector>

#include "payload/NameRules.h"
#include "payload/PlatformFile.h"
#include "payload/SignedImage.h"

namespace payload {
namespace {

// Version and size handed to inflateInit_: the oldest interface the reader
// is written against, and the stream structure of the build itself.
constexpr char kZlibInterfaceVersion[] = "1.1.4";
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(z_stream) == 56, "32-bit Windows zlib stream layout");
#endif

// Above this total, total * 100 could overflow 32 bits, so the total is
// divided by 100 first.
constexpr uint32_t kDivideFirstAbove = 10000000;

// Where each folder along `path` ends, and the path itself when it does not
// end in a separator. Entry names never hold '/', but the target folder
// the user typed may.
std::vector<size_t> PrefixEnds(const std::string& path) {
  std::vector<size_t> ends = SeparatorPositions(path);
  if (ends.empty() || ends.back() + 1 != path.size()) ends.push_back(path.size());
  return ends;
}

int32_t ReadInt32(File& file) {
  unsigned char bytes[4];
  file.ReadExactly(bytes, sizeof bytes);
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) |
                              static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
}

bool IsValidLength(int32_t length) { return length >= 0 && length <= kMaxNameLength; }

// Ends the inflate stream however the entry finishes.
class InflateScope {
 public:
  explicit InflateScope(z_stream& stream) : stream_(stream) {}
  ~InflateScope() { inflateEnd(&stream_); }
  InflateScope(const InflateScope&) = delete;
  InflateScope& operator=(const InflateScope&) = delete;

 private:
  z_stream& stream_;
};

}  // namespace

PayloadReader::PayloadReader() : PayloadReader(RunningModulePath()) {}

PayloadReader::PayloadReader(std::string packagePath)
    : executablePath_(std::move(packagePath)) {
  std::memset(&stream_, 0, sizeof stream_);
  stream_.zalloc = Z_NULL;
  stream_.zfree = Z_NULL;
  stream_.opaque = Z_NULL;
}

PayloadReader::~PayloadReader() = default;

void PayloadReader::ClearTable() {
  for (DirectoryRecord& record : records_) record = DirectoryRecord();
  entryCount_ = 0;
}

int32_t PayloadReader::ReadDirectory(std::string path) {
  ClearTable();
  payloadEnd_ = 0;
  File file;
  if (!file.OpenForReading(path)) return PAYLOAD_OPEN_FAILED;
  int32_t result = LoadDirectory(file);
  // A failed read leaves zeros behind, which fail the checks; the failure
  // itself is what to report.
  if (file.Failed()) result = FailWith(file);
  if (result != PAYLOAD_OK) {
    ClearTable();
    payloadEnd_ = 0;
  }
  return result;
}

// Walks the directory backward from the tail, which stands at the end of the
// payload: the end of the file, or the start of a signature. Every distance
// is checked against that end before its seek, and every count and length
// against the table and the work buffer before anything is stored.
int32_t PayloadReader::LoadDirectory(File& file) {
  const int64_t end = PayloadEnd(file);
  if (end < kTailSize) return PAYLOAD_BAD_TRAILER;
  auto seekBack = [&](int64_t distance) { file.SeekFromStart(end - distance); };

  char tag[kMagicSize];
  seekBack(kMagicDistance);
  file.ReadExactly(tag, kMagicSize);
  if (std::memcmp(tag, kMagic, kMagicSize) != 0) return PAYLOAD_BAD_TRAILER;
  seekBack(kVersionDistance);
  file.ReadExactly(tag, kVersionSize);
  if (std::memcmp(tag, kVersion, kVersionSize) != 0) return PAYLOAD_BAD_TRAILER;

  seekBack(kCountDistance);
  const int32_t count = ReadInt32(file);
  if (count == 0) return PAYLOAD_NO_ENTRIES;
  if (count < 0 || count > kMaxEntries) return PAYLOAD_BAD_TRAILER;

  char work[kMaxNameLength + 1];
  int64_t distance = kTitleLengthDistance;
  // Each field lies further back than the one read before it; a field that
  // would start before byte 0 makes the directory invalid.
  auto readInt = [&](int32_t& value) {
    distance += 4;
    if (distance > end) return false;
    seekBack(distance);
    value = ReadInt32(file);
    return true;
  };
  auto readText = [&](int32_t length, std::string& text) {
    if (!IsValidLength(length)) return false;
    distance += length;
    if (distance > end) return false;
    if (length > 0) {
      seekBack(distance);
      file.ReadExactly(work, static_cast<uint32_t>(length));
    }
    text.assign(work, strnlen(work, static_cast<size_t>(length)));
    return true;
  };

  seekBack(kTitleLengthDistance);
  const int32_t titleLength = ReadInt32(file);
  std::string title;
  if (!readText(titleLength, title)) return PAYLOAD_BAD_TRAILER;

  for (int32_t k = count - 1; k >= 0; --k) {
    DirectoryRecord record;
    int32_t folderLength = 0;
    int32_t fileLength = 0;
    if (!readInt(folderLength) || !readText(folderLength, record.folderName) ||
        !readInt(fileLength) || !readText(fileLength, record.fileName) ||
        !readInt(record.compressedSize) || !readInt(record.inflatedSize) ||
        !readInt(record.offset)) {
      return PAYLOAD_BAD_TRAILER;
    }
    records_[k] = std::move(record);
  }
  title_ = std::move(title);
  entryCount_ = count;
  payloadEnd_ = end;
  return PAYLOAD_OK;
}

int32_t PayloadReader::ExtractAll(std::string targetFolder, ProgressCallback callback,
                                  uintptr_t userValue) {
  if (targetFolder.empty()) return PAYLOAD_ENTRY_FAILED;
  AddTrailingBackslash(targetFolder);

  const int32_t directory = ReadDirectory(executablePath_);
  if (directory != PAYLOAD_OK) return directory;
  callback_ = callback;
  userValue_ = userValue;
  lastFolderMade_.clear();
  refusedLink_.clear();

  File archive;
  if (!archive.OpenForReading(executablePath_)) return PAYLOAD_REOPEN_FAILED;

  int32_t failures = 0;
  for (int32_t index = entryCount_ - 1; index >= 0; --index) {
    if (callback_) callback_(PROGRESS_ENTRY_BEGIN, &records_[index], userValue_);
    const int32_t result = ExtractEntry(archive, index, targetFolder);
    if (result == PAYLOAD_FILE_ERROR) return result;
    if (result == PAYLOAD_OK) {
      if (callback_) callback_(PROGRESS_ENTRY_DONE, &records_[index], userValue_);
    } else {
      ++failures;
    }
  }
  return failures > 0 ? PAYLOAD_ENTRY_FAILED : PAYLOAD_OK;
}

int32_t PayloadReader::ExtractEntry(File& archive, int32_t index,
                                    const std::string& targetFolder) {
  const DirectoryRecord& record = records_[index];
  if (!IsEntryNameSafe(record.folderName, record.fileName)) return PAYLOAD_ENTRY_FAILED;
  if (record.offset < 0 || record.offset >= payloadEnd_) return PAYLOAD_ENTRY_FAILED;

  const std::string folderPath = targetFolder + record.folderName;
  const std::string outputPath = folderPath + record.fileName;
  File output;
  if (!CreateOutput(targetFolder.size(), folderPath, outputPath, output)) {
    return PAYLOAD_ENTRY_FAILED;
  }

  archive.SeekFromStart(record.offset);
  progressTotal_ = record.compressedSize;
  const bool complete = InflateEntry(archive, payloadEnd_ - record.offset, output);
  output.Flush();
  int32_t result = complete ? PAYLOAD_OK : PAYLOAD_ENTRY_FAILED;
  if (archive.Failed()) result = FailWith(archive);
  if (output.Failed()) result = FailWith(output);
  output.Close();
  if (result != PAYLOAD_OK) DeleteFileAt(outputPath);
  return result;
}

// Inflates from the archive's current position until the stream ends. The
// reads take whole blocks and may run past the stream into the next one;
// inflate stops consuming at the stream's end. They never pass the end of
// the payload (`available` bytes on), so a signature is never taken for
// data. Returns true only when the stream ended with a matching checksum.
bool PayloadReader::InflateEntry(File& archive, int64_t available, File& output) {
  stream_.next_in = input_;
  stream_.avail_in = 0;
  stream_.next_out = output_;
  stream_.avail_out = kBufferSize;
  if (inflateInit_(&stream_, kZlibInterfaceVersion, static_cast<int>(sizeof(z_stream))) !=
      Z_OK) {
    return false;
  }
  InflateScope scope(stream_);

  for (;;) {
    if (stream_.avail_in == 0) {
      const uint32_t want = available < kBufferSize ? static_cast<uint32_t>(available)
                                                    : kBufferSize;
      stream_.next_in = input_;
      stream_.avail_in = want == 0 ? 0 : archive.Read(input_, want);
      if (stream_.avail_in == 0) break;  // the payload ended inside the stream
      available -= stream_.avail_in;
    }
    const int result = inflate(&stream_, Z_NO_FLUSH);
    FlushOutput(output);
    if (output.Failed()) return false;
    if (result == Z_STREAM_END) return true;
    if (result != Z_OK) return false;  // data error, dictionary, memory
    if (callback_) {
      uint32_t done = stream_.total_in > 0xFFFFFFFFu ? 0xFFFFFFFFu
                                                     : static_cast<uint32_t>(stream_.total_in);
      uint32_t percent = Percentage(done, static_cast<uint32_t>(progressTotal_));
      callback_(PROGRESS_PERCENT, &percent, userValue_);
    }
  }

  // No more input: what inflate still holds may complete the stream.
  for (;;) {
    const int result = inflate(&stream_, Z_FINISH);
    const bool produced = stream_.avail_out < kBufferSize;
    FlushOutput(output);
    if (output.Failed()) return false;
    if (result == Z_STREAM_END) return true;
    if (!produced || (result != Z_OK && result != Z_BUF_ERROR)) return false;
  }
}

void PayloadReader::FlushOutput(File& output) {
  if (stream_.avail_out < kBufferSize) {
    output.Write(output_, kBufferSize - stream_.avail_out);
    stream_.next_out = output_;
    stream_.avail_out = kBufferSize;
  }
}

int32_t PayloadReader::FailWith(const File& file) {
  fileError_ = file.LastError();
  return PAYLOAD_FILE_ERROR;
}

uint32_t PayloadReader::Percentage(uint32_t done, uint32_t total) {
  // A compressed-size field smaller than the real stream lets done pass the
  // total; the report still stops at 100.
  if (total == 0 || done >= total) return 100;
  uint32_t percent = total <= kDivideFirstAbove ? done * 100 / total : done / (total / 100);
  return percent > 100 ? 100 : percent;
}

// The installer writes with raised rights into a folder the user picked,
// where anyone may have left a symbolic link or junction: a write through one
// could land anywhere. So nothing below the target folder (the target itself
// is the user's choice) may be a link, neither a folder on the way nor the
// output file; such an entry fails and the link is left alone.
// Entries of one folder follow each other, and making a folder that exists
// costs a trip to the file system per level: the folder the last file went
// into is taken as made and checked, and made again only if the file cannot
// be created in it after all.
bool PayloadReader::CreateOutput(size_t targetLength, const std::string& folderPath,
                                 const std::string& outputPath, File& output) {
  const bool folderKnown = folderPath == lastFolderMade_;
  lastFolderMade_.clear();
  std::string link = folderKnown ? std::string() : MakeFoldersWithoutLinks(folderPath, targetLength);
  // Folders named inside the file name are not made, only looked at.
  if (link.empty()) link = FirstLinkAfter(outputPath, folderPath.size());
  bool created = link.empty() && output.CreateForWriting(outputPath);
  if (!created && link.empty() && folderKnown) {
    link = MakeFoldersWithoutLinks(folderPath, targetLength);
    created = link.empty() && output.CreateForWriting(outputPath);
  }
  if (!link.empty() && refusedLink_.empty()) refusedLink_ = link;
  if (created) lastFolderMade_ = folderPath;
  return created;
}

// A folder just made cannot be a link, so only the folders that were there
// already are looked at.
std::string PayloadReader::MakeFoldersWithoutLinks(const std::string& path, size_t checkedFrom) {
  for (size_t end : PrefixEnds(path)) {
    if (end < 1) continue;
    std::string folder = path.substr(0, end);
    if (!CreateFolder(folder) && end > checkedFrom && IsLink(folder)) return folder;
  }
  return std::string();
}

std::string PayloadReader::FirstLinkAfter(const std::string& path, size_t checkedFrom) {
  for (size_t end : PrefixEnds(path)) {
    if (end <= checkedFrom) continue;
    std::string prefix = path.substr(0, end);
    if (IsLink(prefix)) return prefix;
  }
  return std::string();
}

void PayloadReader::CreateFolderChain(const std::string& path) {
  for (size_t position : SeparatorPositions(path)) {
    if (position >= 1) CreateFolder(path.substr(0, position));
  }
  CreateFolder(path);
}

std::string PayloadReader::AddTrailingBackslash(std::string& folder) {
  // The last byte alone could be the trail byte of a GBK character.
  if (!folder.empty() && !EndsWithBackslash(folder)) folder += '\\';
  return folder;
}

}  // namespace payload
