// The layouts inside the resources the installer carries: string tables,
// icon groups and their bitmaps, version information, GBK text.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PeResources.h"

// Every non-empty string of every RT_STRING block, by string id (UTF-8).
std::map<unsigned, std::string> stringTable(const std::vector<Resource>& resources);

struct IconGroupEntry {
  unsigned width, height, colourCount, planes, bitsPerPixel;
  std::uint32_t bytes;
  std::uint16_t iconId;
};
// Throws std::runtime_error when the directory is malformed.
std::vector<IconGroupEntry> parseIconGroup(const std::vector<std::uint8_t>& data);

// What is wrong with an RT_ICON image that should be a size x size bitmap of
// bitsPerPixel with its AND mask; empty when nothing is.
std::string iconImageProblem(const std::vector<std::uint8_t>& dib, unsigned size,
                             unsigned bitsPerPixel);

struct VersionInfo {
  std::uint32_t fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
  std::map<std::string, std::string> strings;  // of every string table, UTF-8
};
// Throws std::runtime_error when the tree is malformed.
VersionInfo parseVersionInfo(const std::vector<std::uint8_t>& data);

// One control of an extended dialog template (DLGTEMPLATEEX).
struct DialogItem {
  std::uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t id = 0;
  std::uint16_t classOrdinal = 0;  // 0x0082 is a static control; 0 for a named class
  std::string className;           // UTF-8, for a named class
};
// Throws std::runtime_error when the template is malformed or not extended.
std::vector<DialogItem> parseDialogItems(const std::vector<std::uint8_t>& data);

// The text as UTF-8, or nothing when the bytes are not GBK; badOffset then
// tells where decoding stopped.
std::optional<std::string> decodeGbk(const std::vector<std::uint8_t>& bytes,
                                     std::size_t& badOffset);
