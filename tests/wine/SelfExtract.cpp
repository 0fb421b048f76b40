// Extracts the payload appended to this very program into the folder named
// by its first argument, printing one line per callback and the result, so
// that the Win32 file layer can be checked under Wine against the host.
#include <cstdio>
#include <memory>

#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"

namespace {

int32_t PrintEvent(int32_t code, const void* value, uintptr_t userValue) {
  const auto* reader = reinterpret_cast<const payload::PayloadReader*>(userValue);
  if (code == payload::PROGRESS_PERCENT) {
    std::printf("PERCENT %u\n", *static_cast<const uint32_t*>(value));
  } else {
    const auto* record = static_cast<const payload::DirectoryRecord*>(value);
    std::printf("%s %ld\n", code == payload::PROGRESS_ENTRY_BEGIN ? "BEGIN" : "DONE",
                static_cast<long>(record - &reader->GetRecord(0)));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: self_extract TARGET\n");
    return 2;
  }
  auto reader = std::make_unique<payload::PayloadReader>();
  const int32_t result =
      reader->ExtractAll(argv[1], PrintEvent, reinterpret_cast<uintptr_t>(reader.get()));
  if (result == payload::PAYLOAD_FILE_ERROR) {
    const payload::FileError& error = reader->GetFileError();
    std::printf("FILE ERROR %u %s\n", error.code(), error.fileName().c_str());
    return 3;
  }
  std::printf("RESULT %d\n", result);
  return result == payload::PAYLOAD_OK ? 0 : 1;
}
