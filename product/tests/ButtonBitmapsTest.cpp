// The installer's button bitmaps as Windows will load them: the files the
// build drew, read back through their headers, and the encoder's row layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "product/skin/BmpFile.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kWidth = 64, kHeight = 24, kStride = kWidth * 3;

uint32_t Le(const Bytes& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
  return value;
}

// Blue-green-red of pixel (x, y), y counted from the top.
uint32_t Pixel(const Bytes& file, uint32_t x, uint32_t y) {
  return Le(file, 54 + (kHeight - 1 - y) * kStride + x * 3, 3);
}

std::map<std::string, Bytes> ReadSkinFolder() {
  std::map<std::string, Bytes> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(SKIN_DIR)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] =
        Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

TEST(ButtonBitmaps, EveryButtonHasItsFourStates) {
  const std::map<std::string, Bytes> files = ReadSkinFolder();
  ASSERT_EQ(files.size(), 20u);
  std::map<std::string, std::set<std::string>> states;
  for (const auto& [name, bytes] : files) {
    ASSERT_EQ(name.rfind("btn_", 0), 0u) << name;
    ASSERT_EQ(name.substr(name.size() - 4), ".bmp") << name;
    const std::string stem = name.substr(4, name.size() - 8);
    const size_t underscore = stem.rfind('_');
    ASSERT_NE(underscore, std::string::npos) << name;
    states[stem.substr(0, underscore)].insert(stem.substr(underscore + 1));
  }
  const std::set<std::string> all = {"normal", "hot", "down", "disabled"};
  EXPECT_EQ(states.size(), 5u);
  for (const auto& [button, found] : states) EXPECT_EQ(found, all) << button;
}

TEST(ButtonBitmaps, HeadersDescribeUncompressedTrueColour64By24) {
  for (const auto& [name, file] : ReadSkinFolder()) {
    SCOPED_TRACE(name);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le(file, 2, 4), file.size());       // file size
    EXPECT_EQ(Le(file, 10, 4), 54u);              // pixel data offset
    EXPECT_EQ(Le(file, 14, 4), 40u);              // BITMAPINFOHEADER
    EXPECT_EQ(Le(file, 18, 4), kWidth);
    EXPECT_EQ(Le(file, 22, 4), kHeight);          // positive: bottom up
    EXPECT_EQ(Le(file, 26, 2), 1u);               // planes
    EXPECT_EQ(Le(file, 28, 2), 24u);              // bits per pixel
    EXPECT_EQ(Le(file, 30, 4), 0u);               // BI_RGB
    EXPECT_EQ(Le(file, 34, 4), kStride * kHeight);
    EXPECT_EQ(file.size(), 54 + kStride * kHeight);
  }
}

TEST(ButtonBitmaps, EachIsAFramedFaceWithAGlyphAndNoTwoAlike) {
  std::set<Bytes> seen;
  for (const auto& [name, file] : ReadSkinFolder()) {
    SCOPED_TRACE(name);
    ASSERT_EQ(file.size(), 54 + kStride * kHeight);
    EXPECT_TRUE(seen.insert(file).second) << "same picture as another button";

    const uint32_t frame = Pixel(file, 0, 0);
    for (uint32_t x = 0; x < kWidth; ++x) {
      EXPECT_EQ(Pixel(file, x, 0), frame);
      EXPECT_EQ(Pixel(file, x, kHeight - 1), frame);
    }
    for (uint32_t y = 0; y < kHeight; ++y) {
      EXPECT_EQ(Pixel(file, 0, y), frame);
      EXPECT_EQ(Pixel(file, kWidth - 1, y), frame);
    }
    const uint32_t face = Pixel(file, 4, kHeight / 2);
    EXPECT_NE(face, frame);
    int glyphPixels = 0;
    for (uint32_t y = 4; y < kHeight - 4; ++y) {
      for (uint32_t x = kWidth / 2 - 8; x < kWidth / 2 + 8; ++x) {
        glyphPixels += Pixel(file, x, y) != face;
      }
    }
    EXPECT_GT(glyphPixels, 10);
  }
}

// Rows of an odd width need padding, and BMP stores them bottom up in
// blue-green-red order: the drawn buttons exercise neither.
TEST(EncodeBmp, PadsRowsToFourBytesAndStoresThemBottomUp) {
  skin::Bitmap bitmap(3, 2, {1, 1, 1});
  bitmap.Set(0, 0, {0x10, 0x20, 0x30});
  bitmap.Set(2, 1, {0x40, 0x50, 0x60});
  const Bytes file = skin::EncodeBmp(bitmap);
  ASSERT_EQ(file.size(), 54u + 2 * 12);
  EXPECT_EQ(Le(file, 2, 4), file.size());
  EXPECT_EQ(Le(file, 34, 4), 24u);
  const Bytes bottom(file.begin() + 54, file.begin() + 66);
  const Bytes top(file.begin() + 66, file.end());
  EXPECT_EQ(bottom, (Bytes{1, 1, 1, 1, 1, 1, 0x60, 0x50, 0x40, 0, 0, 0}));
  EXPECT_EQ(top, (Bytes{0x30, 0x20, 0x10, 1, 1, 1, 1, 1, 1, 0, 0, 0}));
}

}  // namespace
