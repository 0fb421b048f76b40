#include "PeResources.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

class Bytes {
public:
  explicit Bytes(const std::vector<std::uint8_t>& data) : data_(data) {}

  std::uint16_t u16(std::size_t at) const {
    need(at, 2);
    return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
  }
  std::uint32_t u32(std::size_t at) const {
    return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  void need(std::size_t at, std::size_t count) const {
    if (at > data_.size() || count > data_.size() - at) {
      throw std::runtime_error("image truncated at offset " + std::to_string(at));
    }
  }
  const std::vector<std::uint8_t>& data() const { return data_; }

private:
  const std::vector<std::uint8_t>& data_;
};

struct Section {
  std::uint32_t rva, size, fileOffset, fileSize;
};

class ResourceWalker {
public:
  ResourceWalker(const Bytes& bytes, std::vector<Section> sections, std::uint32_t rootRva)
      : bytes_(bytes), sections_(std::move(sections)), root_(fileOffset(rootRva)) {}

  std::vector<Resource> walk() {
    std::vector<Resource> found;
    for (const Entry& type : entries(root_)) {
      for (const Entry& name : entries(subdirectory(type))) {
        for (const Entry& language : entries(subdirectory(name))) {
          if (language.isDirectory) throw std::runtime_error("a fourth directory level");
          const std::size_t at = root_ + language.offset;
          const std::uint32_t dataRva = bytes_.u32(at);
          const std::uint32_t size = bytes_.u32(at + 4);
          const std::size_t dataAt = fileOffset(dataRva);
          bytes_.need(dataAt, size);
          found.push_back({type.id, name.id, language.id.number,
                           {bytes_.data().begin() + static_cast<std::ptrdiff_t>(dataAt),
                            bytes_.data().begin() + static_cast<std::ptrdiff_t>(dataAt + size)}});
        }
      }
    }
    return found;
  }

private:
  struct Entry {
    ResourceId id;
    bool isDirectory;
    std::uint32_t offset;  // from the directory's root
  };

  std::size_t subdirectory(const Entry& entry) const {
    if (!entry.isDirectory) throw std::runtime_error("data where a directory belongs");
    return root_ + entry.offset;
  }

  std::vector<Entry> entries(std::size_t at) const {
    const std::size_t count = std::size_t{bytes_.u16(at + 12)} + bytes_.u16(at + 14);
    std::vector<Entry> result;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entryAt = at + 16 + 8 * i;
      const std::uint32_t name = bytes_.u32(entryAt);
      const std::uint32_t target = bytes_.u32(entryAt + 4);
      Entry entry{{}, (target & 0x80000000u) != 0, target & 0x7FFFFFFFu};
      if (name & 0x80000000u) {
        const std::size_t nameAt = root_ + (name & 0x7FFFFFFFu);
        std::u16string text;
        for (std::size_t k = 0, n = bytes_.u16(nameAt); k < n; ++k) {
          text.push_back(static_cast<char16_t>(bytes_.u16(nameAt + 2 + 2 * k)));
        }
        entry.id = ResourceId::of(utf16ToUtf8(text));
      } else {
        entry.id = ResourceId::of(static_cast<std::uint16_t>(name));
      }
      result.push_back(std::move(entry));
    }
    return result;
  }

  std::size_t fileOffset(std::uint32_t rva) const {
    for (const Section& s : sections_) {
      if (rva >= s.rva && rva - s.rva < s.fileSize) return s.fileOffset + (rva - s.rva);
    }
    throw std::runtime_error("RVA " + std::to_string(rva) + " lies in no section's file data");
  }

  const Bytes& bytes_;
  std::vector<Section> sections_;
  std::size_t root_;
};

}  // namespace

std::vector<Resource> readResources(const std::vector<std::uint8_t>& image) {
  const Bytes bytes(image);
  if (bytes.u16(0) != 0x5A4D) throw std::runtime_error("no MZ header");
  const std::size_t pe = bytes.u32(0x3C);
  if (bytes.u32(pe) != 0x00004550) throw std::runtime_error("no PE signature");
  const std::size_t sectionCount = bytes.u16(pe + 6);
  const std::size_t optionalSize = bytes.u16(pe + 20);
  const std::size_t optional = pe + 24;
  if (bytes.u16(optional) != 0x10B) throw std::runtime_error("not a 32-bit (PE32) image");
  if (bytes.u32(optional + 92) < 3) throw std::runtime_error("no resource data directory");
  const std::uint32_t resourceRva = bytes.u32(optional + 96 + 2 * 8);
  if (resourceRva == 0) throw std::runtime_error("the image has no resources");

  std::vector<Section> sections;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = optional + optionalSize + 40 * i;
    sections.push_back({bytes.u32(at + 12), bytes.u32(at + 8), bytes.u32(at + 20),
                        bytes.u32(at + 16)});
  }
  return ResourceWalker(bytes, std::move(sections), resourceRva).walk();
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string ResourceId::describe() const { return named ? '"' + name + '"' : std::to_string(number); }
