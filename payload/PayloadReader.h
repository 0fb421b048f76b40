// Lists and extracts the payload appended to an installer file. The object
// carries its whole working storage (a table of kMaxEntries records and two
// 4096-byte buffers), so it is large; it opens files only inside an
// operation and keeps nothing open between them.
#pragma once

#include <zlib.h>

#include <array>
#include <cstdint>
#include <string>

#include "payload/PayloadFormat.h"
#include "payload/PlatformFile.h"

namespace payload {

struct DirectoryRecord {
  std::string folderName;     // empty or ending in a backslash
  std::string fileName;
  int32_t inflatedSize = 0;   // kept, never used for extraction
  int32_t compressedSize = 0; // the progress total of the entry
  int32_t offset = 0;         // absolute file offset of the zlib stream
};

// Called synchronously on the reader's thread. `value` points to the entry's
// DirectoryRecord (PROGRESS_ENTRY_BEGIN, PROGRESS_ENTRY_DONE; valid until the
// next ReadDirectory) or to a uint32_t percentage (PROGRESS_PERCENT; valid
// during the call). The result is ignored. The callback must not re-enter
// the reader.
using ProgressCallback = int32_t (*)(int32_t code, const void* value,
                                     uintptr_t userValue);

class PayloadReader {
 public:
  static constexpr int kBufferSize = 4096;

  // Reads the payload of the running executable.
  PayloadReader();
  // Reads the payload of another package file (tools and tests).
  explicit PayloadReader(std::string packagePath);
  virtual ~PayloadReader();
  PayloadReader(const PayloadReader&) = delete;
  PayloadReader& operator=(const PayloadReader&) = delete;

  // Validates the tail and loads every record. Returns PAYLOAD_OK,
  // PAYLOAD_OPEN_FAILED, PAYLOAD_BAD_TRAILER (no package, or a directory that
  // does not fit the table or the file), PAYLOAD_NO_ENTRIES, or
  // PAYLOAD_FILE_ERROR when the file cannot be read. After any result but
  // PAYLOAD_OK the entry count is 0.
  int32_t ReadDirectory(std::string path);

  // Reads the directory of the executable path again and extracts every
  // entry below `targetFolder`, entry N-1 first. Returns PAYLOAD_OK, the
  // ReadDirectory failures, PAYLOAD_REOPEN_FAILED, or PAYLOAD_ENTRY_FAILED
  // when at least one entry failed (the others are extracted) or the target
  // folder is empty. A read or write failure ends it at once with
  // PAYLOAD_FILE_ERROR: the entry being written is removed, the entries
  // before it stay, and no later entry is begun.
  int32_t ExtractAll(std::string targetFolder, ProgressCallback callback,
                     uintptr_t userValue);

  // Extracts entry `index` from the open `archive` into `targetFolder`, which
  // ends in a backslash. Returns PAYLOAD_OK, PAYLOAD_ENTRY_FAILED or
  // PAYLOAD_FILE_ERROR; a failed entry leaves no output file behind. An
  // entry whose path below the target meets a link (symbolic link,
  // junction) fails before anything is written, and the link stays.
  int32_t ExtractEntry(File& archive, int32_t index, const std::string& targetFolder);
  // Makes the entry's folders and creates its output file, refusing any link
  // below the target folder (the first `targetLength` bytes of the paths).
  bool CreateOutput(size_t targetLength, const std::string& folderPath,
                    const std::string& outputPath, File& output);

  // Creates every folder along `path`; failures are ignored.
  static void CreateFolderChain(const std::string& path);
  // CreateFolderChain, but stops at the first folder that ends after byte
  // `checkedFrom` of `path` and already exists as a link, and returns it.
  static std::string MakeFoldersWithoutLinks(const std::string& path, size_t checkedFrom);
  // The first folder ending after byte `checkedFrom` of `path`, or the path
  // itself, that is a link; nothing is made. Empty when there is none.
  static std::string FirstLinkAfter(const std::string& path, size_t checkedFrom);
  // Appends a backslash to a non-empty folder that does not end in one.
  static std::string AddTrailingBackslash(std::string& folder);

  std::string GetExecutablePath() const { return executablePath_; }
  std::string GetFolderName(int32_t index) const { return records_[index].folderName; }
  std::string GetFileName(int32_t index) const { return records_[index].fileName; }
  const DirectoryRecord& GetRecord(int32_t index) const { return records_[index]; }
  int32_t GetEntryCount() const { return entryCount_; }
  const std::string& GetTitle() const { return title_; }
  // Where the payload ends in the file last read: its size, or the start of
  // its signature. 0 after a failed ReadDirectory.
  int64_t GetPayloadEnd() const { return payloadEnd_; }
  // The failure behind the last PAYLOAD_FILE_ERROR.
  const FileError& GetFileError() const { return fileError_; }
  // The first link below the target folder that the last ExtractAll
  // refused to write through; empty when it met none.
  const std::string& GetRefusedLink() const { return refusedLink_; }

  // Percentage of `total` compressed bytes that `done` represents, 0..100.
  static uint32_t Percentage(uint32_t done, uint32_t total);

 private:
  void ClearTable();
  int32_t LoadDirectory(File& file);
  bool InflateEntry(File& archive, int64_t available, File& output);
  void FlushOutput(File& output);
  // Keeps the file's failure for GetFileError; returns PAYLOAD_FILE_ERROR.
  int32_t FailWith(const File& file);

  z_stream stream_;
  std::string executablePath_;
  std::array<DirectoryRecord, kMaxEntries> records_;
  int32_t entryCount_ = 0;
  ProgressCallback callback_ = nullptr;
  uintptr_t userValue_ = 0;
  std::string title_;
  unsigned char input_[kBufferSize];
  unsigned char output_[kBufferSize];
  int32_t progressTotal_ = 0;
  int64_t payloadEnd_ = 0;
  FileError fileError_;
  // The folder of the last file ExtractEntry created.
  std::string lastFolderMade_;
  std::string refusedLink_;
};

}  // namespace payload
