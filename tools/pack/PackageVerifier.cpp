#include "tools/pack/PackageVerifier.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "payload/NameRules.h"

namespace pack {
namespace {

constexpr size_t kChunk = 1 << 20;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

EntryReport VerifyEntry(const payload::PayloadReader& reader, int32_t index,
                        const std::string& packagePath) {
  const payload::DirectoryRecord& record = reader.GetRecord(index);
  EntryReport report;
  report.index = index;
  if (!payload::IsEntryNameSafe(record.folderName, record.fileName)) {
    report.problems.push_back("unsafe name: leaves the install folder or names a device");
  }
  if (record.fileName.empty()) report.problems.push_back("empty file name");

  std::unique_ptr<FILE, FileCloser> file(std::fopen(packagePath.c_str(), "rb"));
  if (!file) {
    report.problems.push_back("cannot read the package");
    return report;
  }
  // A signature behind the payload is no data of any entry.
  const int64_t payloadEnd = reader.GetPayloadEnd();
  if (record.offset < 0 || record.offset >= payloadEnd) {
    report.problems.push_back("offset " + std::to_string(record.offset) +
                              " lies outside the payload");
    return report;
  }
  std::fseek(file.get(), record.offset, SEEK_SET);
  int64_t available = payloadEnd - record.offset;

  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  inflateInit(&stream);
  std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, inflateEnd);
  std::vector<unsigned char> input(kChunk), output(kChunk);
  int result = Z_OK;
  while (result == Z_OK) {
    if (stream.avail_in == 0) {
      stream.next_in = input.data();
      const size_t want = available < static_cast<int64_t>(input.size())
                              ? static_cast<size_t>(available) : input.size();
      stream.avail_in = static_cast<uInt>(std::fread(input.data(), 1, want, file.get()));
      available -= stream.avail_in;
      if (stream.avail_in == 0) break;
    }
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    result = inflate(&stream, Z_NO_FLUSH);
  }

  if (result == Z_DATA_ERROR) {
    report.problems.push_back(std::string("damaged stream: ") +
                              (stream.msg ? stream.msg : "data error"));
  } else if (result == Z_NEED_DICT) {
    report.problems.push_back("stream asks for a preset dictionary");
  } else if (result != Z_STREAM_END) {
    report.problems.push_back("stream does not end before the end of the payload");
  } else {
    if (static_cast<int64_t>(stream.total_out) != record.inflatedSize) {
      report.problems.push_back("inflates to " + std::to_string(stream.total_out) +
                                " bytes, the inflated size field says " +
                                std::to_string(record.inflatedSize));
    }
    if (static_cast<int64_t>(stream.total_in) != record.compressedSize) {
      report.notes.push_back("stream is " + std::to_string(stream.total_in) +
                             " bytes, the compressed size field says " +
                             std::to_string(record.compressedSize) +
                             " (only the progress display differs)");
    }
  }
  return report;
}

}  // namespace pack
