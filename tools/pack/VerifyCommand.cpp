#include <cstdio>
#include <memory>

#include "payload/PayloadReader.h"
#include "tools/pack/Commands.h"
#include "tools/pack/PackageVerifier.h"

namespace pack {

int RunVerify(const std::string& packagePath) {
  auto reader = std::make_unique<payload::PayloadReader>(packagePath);
  int32_t code;
  if (!ReadPackageDirectory(*reader, packagePath, code)) return EXIT_IO_ERROR;
  if (code != payload::PAYLOAD_OK) {
    ReportError(packagePath + ": " + ResultName(code));
    return EXIT_BAD_PACKAGE;
  }

  int failed = 0;
  for (int32_t i = 0; i < reader->GetEntryCount(); ++i) {
    const EntryReport report = VerifyEntry(*reader, i, packagePath);
    const payload::DirectoryRecord& record = reader->GetRecord(i);
    for (const std::string& problem : report.problems) {
      std::printf("entry %d \"%s%s\": %s\n", i, record.folderName.c_str(),
                  record.fileName.c_str(), problem.c_str());
    }
    for (const std::string& note : report.notes) {
      std::printf("entry %d \"%s%s\": note: %s\n", i, record.folderName.c_str(),
                  record.fileName.c_str(), note.c_str());
    }
    if (!report.problems.empty()) ++failed;
  }
  std::printf("%d entries, %d with problems\n", reader->GetEntryCount(), failed);
  return failed == 0 ? EXIT_OK : EXIT_BAD_PACKAGE;
}

}  // namespace pack
