// Reads the resource directory of a 32-bit Windows image, so that what the
// resource compiler put in the installer can be checked on the build machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A resource type or name: a number, or a name (UTF-8 here).
struct ResourceId {
  bool named = false;
  std::uint16_t number = 0;
  std::string name;

  static ResourceId of(std::uint16_t n) { return {false, n, {}}; }
  static ResourceId of(std::string text) { return {true, 0, std::move(text)}; }
  bool operator==(const ResourceId& other) const {
    return named == other.named && (named ? name == other.name : number == other.number);
  }
  std::string describe() const;
};

struct Resource {
  ResourceId type;
  ResourceId name;
  std::uint16_t language = 0;
  std::vector<std::uint8_t> data;
};

// Throws std::runtime_error naming what is malformed.
std::vector<Resource> readResources(const std::vector<std::uint8_t>& image);

std::vector<std::uint8_t> readFileBytes(const std::string& path);

std::string utf16ToUtf8(const std::u16string& text);
