// 24-bit uncompressed BMP files: the one bitmap format every Windows version
// loads with LoadImage and every image tool reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "product/skin/Bitmap.h"

namespace skin {

// The whole file: headers, then rows bottom up in blue-green-red order,
// each padded to four bytes.
std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap);

// Writes EncodeBmp's bytes; false when the file cannot be written.
bool WriteBmp(const std::string& path, const Bitmap& bitmap);

}  // namespace skin
