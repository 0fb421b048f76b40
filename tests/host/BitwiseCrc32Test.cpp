// The table-free CRC-32 that stands in for zlib's in the installer image
// must give zlib's results, chained or not.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "app/BitwiseCrc32.h"
#include "tests/host/TestSupport.h"

namespace {

uint32_t Bitwise(uint32_t crc, const std::string& bytes) {
  return app::BitwiseCrc32(crc, reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size());
}

uint32_t Zlib(uint32_t crc, const std::string& bytes) {
  return static_cast<uint32_t>(
      crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST(BitwiseCrc32Test, GivesZlibsResults) {
  EXPECT_EQ(Bitwise(0, "123456789"), 0xCBF43926u);  // the CRC-32 check value
  EXPECT_EQ(Bitwise(0, ""), 0u);
  for (size_t size : {1u, 3u, 64u, 1000u, 65537u}) {
    const std::string bytes = testing_support::MixedContent(size, static_cast<unsigned>(size));
    EXPECT_EQ(Bitwise(0, bytes), Zlib(0, bytes)) << size;
    // Continued from an earlier value, as inflate feeds it block by block.
    const size_t half = size / 2;
    EXPECT_EQ(Bitwise(Bitwise(0, bytes.substr(0, half)), bytes.substr(half)), Zlib(0, bytes))
        << size;
  }
}

}  // namespace
