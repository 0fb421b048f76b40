#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "payload/PlatformFile.h"
#include "payload/PayloadReader.h"
#include "tools/pack/Commands.h"

namespace pack {
namespace {

struct EventContext {
  const payload::PayloadReader* reader;
};

int32_t PrintEvent(int32_t code, const void* value, uintptr_t userValue) {
  const auto* context = reinterpret_cast<const EventContext*>(userValue);
  if (code == payload::PROGRESS_PERCENT) {
    std::printf("PERCENT %u\n", *static_cast<const uint32_t*>(value));
  } else {
    const auto* record = static_cast<const payload::DirectoryRecord*>(value);
    const long index = record - &context->reader->GetRecord(0);
    std::printf("%s %ld\n", code == payload::PROGRESS_ENTRY_BEGIN ? "BEGIN" : "DONE", index);
  }
  return 0;
}

// The reader creates folders only along the backslashes of the payload's
// names; the target folder itself is made here, parents included.
void MakeFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    mkdir(folder.substr(0, slash).c_str(), 0777);
  }
  mkdir(folder.c_str(), 0777);
}

}  // namespace

int RunExtract(const std::string& packagePath, const std::string& folder, bool events) {
  auto reader = std::make_unique<payload::PayloadReader>(packagePath);
  EventContext context{reader.get()};
  if (!folder.empty()) MakeFolders(folder);
  const int32_t code = reader->ExtractAll(folder, events ? PrintEvent : nullptr,
                                          reinterpret_cast<uintptr_t>(&context));
  if (code == payload::PAYLOAD_FILE_ERROR) {
    std::fflush(stdout);
    ReportError("cannot read or write " + FileErrorText(reader->GetFileError()));
    return EXIT_IO_ERROR;
  }
  if (events) std::printf("RESULT %d\n", code);
  std::fflush(stdout);
  if (code != payload::PAYLOAD_OK) {
    ReportError(packagePath + ": " + ResultName(code));
    return EXIT_BAD_PACKAGE;
  }
  return EXIT_OK;
}

}  // namespace pack
