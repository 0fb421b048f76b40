#include <thread>

#include "tools/pack/Commands.h"
#include "tools/pack/EntrySources.h"
#include "tools/pack/PackageWriter.h"

namespace pack {

int RunBuild(const BuildRequest& request) {
  try {
    PackOptions options;
    options.imagePath = request.imagePath;
    options.outputPath = request.outputPath;
    options.title = request.fromUtf8 ? Utf8ToGbk(request.title, "title") : request.title;
    options.jobs = request.jobs != 0 ? request.jobs
                                     : std::max(1u, std::thread::hardware_concurrency());
    const std::vector<PackEntry> entries =
        request.listPath.empty() ? EntriesFromFolder(request.rootFolder, request.fromUtf8)
                                 : EntriesFromList(request.listPath, request.fromUtf8);
    WritePackage(options, entries);
    return EXIT_OK;
  } catch (const PackError& failure) {
    ReportError(failure.what());
    return EXIT_BAD_PACKAGE;
  }
}

}  // namespace pack
