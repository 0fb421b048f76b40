// The byte layout of an installer package, shared by the reader and the
// packer. Everything is found from the end of the file; all integers are
// 32-bit little-endian and read as signed values.
//
//   offset 0                                                   EOF
//   | executable image | stream 0 | ... | stream N-1 | records | title | tail |
//
//   tail (22 bytes):  title length T | entry count N | "1.00" | "!HAOWHDFS!"
//                     EOF-22           EOF-18          EOF-14   EOF-10
//
//   directory record (20 + L1 + L2 bytes), entry 0 first:
//     offset | inflated size | compressed size | file name | L2 | folder | L1
//
// Each length stands behind the text it measures, so records are parsed
// from the end of the file towards its start. The offset of a record is
// absolute (counted from byte 0 of the installer file). Folder names are
// empty or end in a backslash; names are GBK bytes with '\' separators.
#pragma once

#include <cstdint>

namespace payload {

constexpr char kMagic[] = "!HAOWHDFS!";
constexpr char kVersion[] = "1.00";
constexpr int kMagicSize = 10;
constexpr int kVersionSize = 4;
constexpr int kTailSize = 4 + 4 + kVersionSize + kMagicSize;
static_assert(sizeof(kMagic) - 1 == kMagicSize, "magic is ten bytes");
static_assert(sizeof(kVersion) - 1 == kVersionSize, "version is four bytes");
static_assert(kTailSize == 22, "the tail is 22 bytes");

// Distances of the tail fields back from the end of the file.
constexpr int kMagicDistance = kMagicSize;                          // 10
constexpr int kVersionDistance = kMagicDistance + kVersionSize;     // 14
constexpr int kCountDistance = kVersionDistance + 4;                // 18
constexpr int kTitleLengthDistance = kCountDistance + 4;            // 22

// Fixed part of a directory record: offset, two sizes, two lengths.
constexpr int kRecordFixedSize = 5 * 4;

// Limits imposed by the reader's fixed storage.
constexpr int32_t kMaxEntries = 20000;
constexpr int32_t kMaxNameLength = 999;   // title, folder and file names
constexpr int32_t kMaxOffset = 0x7FFFFFFF;

// Paths are formed in buffers of MAX_PATH bytes, terminating zero included.
constexpr int kMaxPath = 260;

// Reader results. 1003 is not used.
enum PayloadResult : int32_t {
  PAYLOAD_OPEN_FAILED = 1000,
  PAYLOAD_BAD_TRAILER = 1001,
  PAYLOAD_OK = 1002,
  PAYLOAD_NO_ENTRIES = 1004,
  PAYLOAD_ENTRY_FAILED = 1005,
  PAYLOAD_REOPEN_FAILED = 1006,
  // A read, write or seek failed (a read error, a full disk): the operation
  // stopped at once. The reader's GetFileError names the file and the code.
  PAYLOAD_FILE_ERROR = 1007,
};

// First argument of a progress callback. The numbers overlap the result
// codes but have their own meaning.
enum ProgressCode : int32_t {
  PROGRESS_ENTRY_BEGIN = 1000,  // value: the entry's DirectoryRecord
  PROGRESS_ENTRY_DONE = 1001,   // value: the entry's DirectoryRecord
  PROGRESS_PERCENT = 1002,      // value: uint32_t percentage 0..100
};

}  // namespace payload
