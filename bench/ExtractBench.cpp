// One timed extraction of a package under Wine, for make bench:
//   extract_bench extractall|plain PACKAGE TARGET
// `extractall` is the installer's own PayloadReader::ExtractAll; `plain` is
// what a straightforward extractor does with the same streams: per entry,
// seek to the stream, read its compressed bytes in 1 MiB pieces and inflate
// into a 1 MiB buffer written out whenever it fills, entries in the
// reader's order (last first). Prints "seconds S" (the performance counter,
// from the first byte read to the last file closed; the plain loop's
// directory is read before the clock starts, as the native bench does).
// The caller alternates the two and flushes the disk in between, which a
// Windows program under Wine cannot do for the whole system.
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"

namespace {

constexpr DWORD kIoBuffer = 1 << 20;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// inflateEnd on every way out, a failed entry included.
class Inflater {
 public:
  Inflater() { ready_ = inflateInit(&stream_) == Z_OK; }
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  bool ready() const { return ready_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

class Timer {
 public:
  Timer() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Seconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

struct BenchError {
  std::string message;
};

// The target is a drive path (C:\...), whose root needs no making.
void CreateFolders(const std::string& folder, std::set<std::string>& made) {
  if (!made.insert(folder).second) return;
  for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1)) {
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  }
}

void WriteAll(HANDLE file, const unsigned char* data, DWORD size, const std::string& path) {
  DWORD written = 0;
  if (size > 0 && (!WriteFile(file, data, size, &written, nullptr) || written != size)) {
    throw BenchError{"cannot write " + path};
  }
}

void PlainEntry(HANDLE archive, const payload::DirectoryRecord& record, const std::string& path,
                std::vector<unsigned char>& input, std::vector<unsigned char>& output) {
  const UniqueHandle out = OpenHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) throw BenchError{"cannot create " + path};
  LARGE_INTEGER offset;
  offset.QuadPart = record.offset;
  if (!SetFilePointerEx(archive, offset, nullptr, FILE_BEGIN)) throw BenchError{"cannot seek"};
  Inflater inflater;
  if (!inflater.ready()) throw BenchError{"inflateInit failed"};
  z_stream& stream = inflater.stream();
  stream.next_out = output.data();
  stream.avail_out = kIoBuffer;
  int64_t remaining = record.compressedSize;
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    if (stream.avail_in == 0) {
      if (remaining == 0) break;
      const DWORD piece = remaining < kIoBuffer ? static_cast<DWORD>(remaining) : kIoBuffer;
      DWORD got = 0;
      if (!ReadFile(archive, input.data(), piece, &got, nullptr) || got != piece) {
        throw BenchError{"cannot read the package"};
      }
      remaining -= piece;
      stream.next_in = input.data();
      stream.avail_in = piece;
    }
    result = inflate(&stream, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) break;
    if (stream.avail_out == 0 || result == Z_STREAM_END) {
      WriteAll(out.get(), output.data(), kIoBuffer - stream.avail_out, path);
      stream.next_out = output.data();
      stream.avail_out = kIoBuffer;
    }
  }
  if (result != Z_STREAM_END || remaining != 0 || stream.avail_in != 0) {
    throw BenchError{"the stream of " + path + " did not end with its bytes"};
  }
}

double Plain(const std::string& package, std::string target) {
  auto directory = std::make_unique<payload::PayloadReader>(package);
  if (directory->ReadDirectory(package) != payload::PAYLOAD_OK) {
    throw BenchError{"not a package: " + package};
  }
  payload::PayloadReader::AddTrailingBackslash(target);
  std::vector<unsigned char> input(kIoBuffer), output(kIoBuffer);
  std::set<std::string> made;
  const Timer timer;
  const UniqueHandle archive = OpenHandle(CreateFileA(
      package.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!archive) throw BenchError{"cannot open " + package};
  for (int32_t index = directory->GetEntryCount() - 1; index >= 0; --index) {
    const payload::DirectoryRecord& record = directory->GetRecord(index);
    const std::string folder = target + record.folderName;
    CreateFolders(folder, made);
    PlainEntry(archive.get(), record, folder + record.fileName, input, output);
  }
  return timer.Seconds();
}

double ExtractAll(const std::string& package, const std::string& target) {
  auto reader = std::make_unique<payload::PayloadReader>(package);
  const Timer timer;
  const int32_t result = reader->ExtractAll(target, nullptr, 0);
  const double seconds = timer.Seconds();
  if (result == payload::PAYLOAD_FILE_ERROR) {
    const payload::FileError& error = reader->GetFileError();
    throw BenchError{"cannot read or write " + error.fileName() + ": " +
                     payload::DescribeSystemError(error.code())};
  }
  if (result != payload::PAYLOAD_OK) throw BenchError{"ExtractAll returned " + std::to_string(result)};
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode != "extractall" && mode != "plain") {
    std::fprintf(stderr, "usage: extract_bench extractall|plain PACKAGE TARGET\n");
    return 2;
  }
  try {
    const double seconds = mode == "plain" ? Plain(argv[2], argv[3]) : ExtractAll(argv[2], argv[3]);
    std::printf("seconds %.6f\n", seconds);
  } catch (const BenchError& error) {
    std::fprintf(stderr, "extract_bench: %s\n", error.message.c_str());
    return 1;
  }
  return 0;
}
