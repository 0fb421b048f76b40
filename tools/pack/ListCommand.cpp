#include <cstdio>
#include <memory>

#include "payload/PayloadReader.h"
#include "tools/pack/Commands.h"

namespace pack {
namespace {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

void PrintJson(const payload::PayloadReader& reader, int32_t code) {
  std::printf("{\"code\": %d, \"title_hex\": \"%s\", \"entries\": [", code,
              Hex(reader.GetTitle()).c_str());
  for (int32_t i = 0; i < reader.GetEntryCount(); ++i) {
    const payload::DirectoryRecord& record = reader.GetRecord(i);
    std::printf("%s{\"folder_hex\": \"%s\", \"file_hex\": \"%s\", \"inflated\": %d, "
                "\"compressed\": %d, \"offset\": %d}",
                i == 0 ? "" : ", ", Hex(record.folderName).c_str(),
                Hex(record.fileName).c_str(), record.inflatedSize, record.compressedSize,
                record.offset);
  }
  std::printf("], \"payload_end\": %lld}\n", static_cast<long long>(reader.GetPayloadEnd()));
}

void PrintTable(const payload::PayloadReader& reader) {
  std::printf("title: \"%s\" (%zu bytes)\nentries: %d\npayload ends at: %lld\n",
              reader.GetTitle().c_str(), reader.GetTitle().size(), reader.GetEntryCount(),
              static_cast<long long>(reader.GetPayloadEnd()));
  std::printf("%5s %10s %10s %10s  %s\n", "index", "offset", "compressed", "inflated", "name");
  for (int32_t i = 0; i < reader.GetEntryCount(); ++i) {
    const payload::DirectoryRecord& record = reader.GetRecord(i);
    std::printf("%5d %10d %10d %10d  %s%s\n", i, record.offset, record.compressedSize,
                record.inflatedSize, record.folderName.c_str(), record.fileName.c_str());
  }
}

}  // namespace

int RunList(const std::string& packagePath, bool json) {
  auto reader = std::make_unique<payload::PayloadReader>(packagePath);
  int32_t code;
  if (!ReadPackageDirectory(*reader, packagePath, code)) return EXIT_IO_ERROR;
  if (json) {
    PrintJson(*reader, code);
  } else if (code == payload::PAYLOAD_OK) {
    PrintTable(*reader);
  }
  if (code != payload::PAYLOAD_OK) {
    ReportError(packagePath + ": " + ResultName(code));
    return EXIT_BAD_PACKAGE;
  }
  return EXIT_OK;
}

}  // namespace pack
