// Runs saved inputs through the fuzz entry point without libFuzzer, so the
// seed corpus and any crash file can be replayed under the sanitizers by a
// plain compiler. Arguments are files or folders of files.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Files directly inside `folder`, sorted so that runs are repeatable.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* item = readdir(dir)) {
      const std::string path = folder + "/" + item->d_name;
      struct stat info;
      if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) files.push_back(path);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> inputs;
  bool unreadable = false;
  for (int i = 1; i < argc; ++i) {
    struct stat info;
    if (stat(argv[i], &info) != 0) {
      std::fprintf(stderr, "cannot find %s\n", argv[i]);
      unreadable = true;
    } else if (S_ISDIR(info.st_mode)) {
      const std::vector<std::string> files = FilesIn(argv[i]);
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else {
      inputs.push_back(argv[i]);
    }
  }

  size_t ran = 0;
  for (const std::string& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      unreadable = true;
      continue;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // Named before it runs: an abort leaves the culprit as the last line.
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++ran;
  }
  std::printf("%zu inputs ran\n", ran);
  // An empty or missing corpus would otherwise pass without testing anything.
  return unreadable || ran == 0 ? 1 : 0;
}
