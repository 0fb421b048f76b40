#include "product/skin/BmpFile.h"

#include <cstdio>
#include <memory>

namespace skin {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap) {
  const uint32_t stride = (static_cast<uint32_t>(bitmap.width()) * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * static_cast<uint32_t>(bitmap.height());
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<uint8_t> out;
  out.reserve(offset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + imageSize);
  Put32(out, 0);  // reserved
  Put32(out, offset);

  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(bitmap.width()));
  Put32(out, static_cast<uint32_t>(bitmap.height()));  // positive: bottom row first
  Put16(out, 1);                                        // planes
  Put16(out, 24);                                       // bits per pixel
  Put32(out, 0);                                        // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dots per inch, in dots per metre
  Put32(out, 2835);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // colours important

  for (int y = bitmap.height() - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < bitmap.width(); ++x) {
      const Rgb pixel = bitmap.At(x, y);
      out.push_back(pixel.blue);
      out.push_back(pixel.green);
      out.push_back(pixel.red);
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

bool WriteBmp(const std::string& path, const Bitmap& bitmap) {
  const std::vector<uint8_t> bytes = EncodeBmp(bitmap);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fclose(file.release()) == 0;
}

}  // namespace skin
