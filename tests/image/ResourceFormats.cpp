#include "ResourceFormats.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>

namespace {

std::uint16_t u16(const std::vector<std::uint8_t>& d, std::size_t at) {
  if (at + 2 > d.size()) throw std::runtime_error("truncated at offset " + std::to_string(at));
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

std::uint32_t u32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return u16(d, at) | static_cast<std::uint32_t>(u16(d, at + 2)) << 16;
}

// UTF-16 from at up to a NUL or end; end is moved past the NUL.
std::string utf16z(const std::vector<std::uint8_t>& d, std::size_t at, std::size_t limit,
                   std::size_t* end = nullptr) {
  std::u16string text;
  while (at + 2 <= limit && u16(d, at) != 0) {
    text.push_back(static_cast<char16_t>(u16(d, at)));
    at += 2;
  }
  if (end) *end = at + 2;
  return utf16ToUtf8(text);
}

// A name or ordinal field of a dialog template: none (0), an ordinal
// (0xFFFF, then the number) or a NUL-terminated UTF-16 text. Returns the
// offset after it.
std::size_t nameOrOrdinal(const std::vector<std::uint8_t>& d, std::size_t at,
                          std::uint16_t* ordinal, std::string* name) {
  if (u16(d, at) == 0xFFFF) {
    if (ordinal) *ordinal = u16(d, at + 2);
    return at + 4;
  }
  std::size_t end = at;
  const std::string text = utf16z(d, at, d.size(), &end);
  if (name) *name = text;
  return end;
}

std::size_t align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

std::size_t rowBytes(std::size_t bits) { return (bits + 31) / 32 * 4; }

}  // namespace

std::map<unsigned, std::string> stringTable(const std::vector<Resource>& resources) {
  std::map<unsigned, std::string> table;
  for (const Resource& r : resources) {
    if (r.type.named || r.type.number != 6 || r.name.named) continue;
    std::size_t at = 0;
    for (unsigned k = 0; k < 16; ++k) {
      const std::size_t length = u16(r.data, at);
      std::u16string text;
      for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char16_t>(u16(r.data, at + 2 + 2 * i)));
      }
      at += 2 + 2 * length;
      if (length > 0) table[(r.name.number - 1u) * 16 + k] = utf16ToUtf8(text);
    }
  }
  return table;
}

std::vector<DialogItem> parseDialogItems(const std::vector<std::uint8_t>& data) {
  if (u16(data, 0) != 1 || u16(data, 2) != 0xFFFF) throw std::runtime_error("not DLGTEMPLATEEX");
  const std::uint32_t style = u32(data, 12);
  const std::size_t count = u16(data, 16);
  std::size_t at = nameOrOrdinal(data, 26, nullptr, nullptr);  // menu
  at = nameOrOrdinal(data, at, nullptr, nullptr);              // window class
  at = nameOrOrdinal(data, at, nullptr, nullptr);              // caption
  if (style & 0x40) at = nameOrOrdinal(data, at + 6, nullptr, nullptr);  // DS_SETFONT: typeface
  std::vector<DialogItem> items;
  for (std::size_t i = 0; i < count; ++i) {
    at = align4(at);
    DialogItem item;
    item.style = u32(data, at + 8);
    item.x = static_cast<std::int16_t>(u16(data, at + 12));
    item.y = static_cast<std::int16_t>(u16(data, at + 14));
    item.cx = static_cast<std::int16_t>(u16(data, at + 16));
    item.cy = static_cast<std::int16_t>(u16(data, at + 18));
    item.id = u32(data, at + 20);
    at = nameOrOrdinal(data, at + 24, &item.classOrdinal, &item.className);
    at = nameOrOrdinal(data, at, nullptr, nullptr);  // title
    at += 2 + u16(data, at);                         // creation data
    items.push_back(item);
  }
  return items;
}

std::vector<IconGroupEntry> parseIconGroup(const std::vector<std::uint8_t>& data) {
  if (u16(data, 0) != 0 || u16(data, 2) != 1) {
    throw std::runtime_error("not an icon group directory");
  }
  std::vector<IconGroupEntry> entries;
  for (std::size_t i = 0, n = u16(data, 4); i < n; ++i) {
    const std::size_t at = 6 + 14 * i;
    u16(data, at + 12);  // the whole entry is there
    entries.push_back({data[at], data[at + 1], data[at + 2], u16(data, at + 4),
                       u16(data, at + 6), u32(data, at + 8), u16(data, at + 12)});
  }
  return entries;
}

std::string iconImageProblem(const std::vector<std::uint8_t>& dib, unsigned size,
                             unsigned bitsPerPixel) {
  if (dib.size() >= 4 && dib[0] == 0x89 && dib[1] == 'P' && dib[2] == 'N' && dib[3] == 'G') {
    return "a PNG image, not a bitmap";
  }
  if (dib.size() < 40 || u32(dib, 0) != 40) return "no BITMAPINFOHEADER";
  const std::uint32_t width = u32(dib, 4), height = u32(dib, 8);
  const unsigned planes = u16(dib, 12), bits = u16(dib, 14);
  if (width != size || height != 2 * size) {
    return "header says " + std::to_string(width) + "x" + std::to_string(height) +
           ", not " + std::to_string(size) + "x" + std::to_string(2 * size);
  }
  if (planes != 1 || bits != bitsPerPixel) {
    return "header says " + std::to_string(planes) + " plane(s) of " + std::to_string(bits) +
           " bits, not 1 of " + std::to_string(bitsPerPixel);
  }
  if (u32(dib, 16) != 0) return "compressed (" + std::to_string(u32(dib, 16)) + ")";
  std::size_t entries = 0;
  if (bits <= 8) {
    entries = u32(dib, 32) ? u32(dib, 32) : std::size_t{1} << bits;
    if (entries > (std::size_t{1} << bits)) return "a colour table larger than the depth allows";
  }
  const std::size_t colourAt = 40 + 4 * entries;
  const std::size_t maskAt = colourAt + rowBytes(size * bits) * size;
  const std::size_t end = maskAt + rowBytes(size) * size;
  if (dib.size() < end) {
    return std::to_string(dib.size()) + " bytes, " + std::to_string(end) + " needed";
  }

  // Rows are stored bottom-up; y counts from the top here.
  auto masked = [&](unsigned x, unsigned y) {
    const std::size_t at = maskAt + rowBytes(size) * (size - 1 - y) + x / 8;
    return (dib[at] >> (7 - x % 8) & 1) != 0;
  };
  auto where = [](unsigned x, unsigned y) {
    return " at (" + std::to_string(x) + "," + std::to_string(y) + ")";
  };
  std::size_t drawn = 0, withAlpha = 0;
  for (unsigned y = 0; y < size; ++y) {
    const std::size_t row = colourAt + rowBytes(size * bits) * (size - 1 - y);
    for (unsigned x = 0; x < size; ++x) {
      if (!masked(x, y)) ++drawn;
      if (bits == 32) {
        const unsigned alpha = dib[row + 4 * x + 3];
        if (alpha != 0) ++withAlpha;
        if (alpha == 0 && !masked(x, y)) return "a transparent pixel is not masked" + where(x, y);
        if (alpha == 255 && masked(x, y)) return "an opaque pixel is masked" + where(x, y);
        continue;
      }
      const unsigned index = bits == 8 ? dib[row + x]
                                       : (dib[row + x * bits / 8] >> (x % 2 ? 0 : 4)) & 0xF;
      if (index >= entries) return "a colour index past the table" + where(x, y);
      const std::size_t colour = 40 + 4 * std::size_t{index};
      if (masked(x, y) && (dib[colour] | dib[colour + 1] | dib[colour + 2]) != 0) {
        // Masked pixels are XORed onto the screen: anything but black tints it.
        return "a masked pixel is not black" + where(x, y);
      }
    }
  }
  if (drawn == 0) return "every pixel is masked";
  if (bits == 32 && withAlpha == 0) return "the alpha channel is empty";
  return {};
}

namespace {

struct VersionNode {
  std::string key;
  std::size_t valueAt = 0, valueEnd = 0;
  bool text = false;
  std::vector<VersionNode> children;
};

VersionNode parseNode(const std::vector<std::uint8_t>& d, std::size_t at, std::size_t limit) {
  const std::size_t length = u16(d, at);
  const std::size_t valueLength = u16(d, at + 2);
  if (length < 6 || at + length > limit) throw std::runtime_error("a version node overruns");
  const std::size_t end = at + length;
  VersionNode node;
  node.text = u16(d, at + 4) == 1;
  std::size_t afterKey = 0;
  node.key = utf16z(d, at + 6, end, &afterKey);
  node.valueAt = align4(afterKey);
  node.valueEnd = std::min(end, node.valueAt + (node.text ? 2 * valueLength : valueLength));
  for (std::size_t child = align4(node.valueEnd); child + 6 <= end;) {
    node.children.push_back(parseNode(d, child, end));
    child = align4(child + u16(d, child));
  }
  return node;
}

}  // namespace

VersionInfo parseVersionInfo(const std::vector<std::uint8_t>& data) {
  const VersionNode root = parseNode(data, 0, data.size());
  if (root.key != "VS_VERSION_INFO") throw std::runtime_error("root key is " + root.key);
  if (root.valueEnd - root.valueAt < 52 || u32(data, root.valueAt) != 0xFEEF04BD) {
    throw std::runtime_error("no VS_FIXEDFILEINFO");
  }
  VersionInfo info;
  info.fileMs = u32(data, root.valueAt + 8);
  info.fileLs = u32(data, root.valueAt + 12);
  info.productMs = u32(data, root.valueAt + 16);
  info.productLs = u32(data, root.valueAt + 20);
  for (const VersionNode& block : root.children) {
    if (block.key != "StringFileInfo") continue;
    for (const VersionNode& table : block.children) {
      for (const VersionNode& s : table.children) {
        info.strings[s.key] = utf16z(data, s.valueAt, s.valueEnd);
      }
    }
  }
  return info;
}

std::optional<std::string> decodeGbk(const std::vector<std::uint8_t>& bytes,
                                     std::size_t& badOffset) {
  struct Closer {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
  };
  iconv_t raw = iconv_open("UTF-8", "GBK");
  if (raw == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no GBK");
  const std::unique_ptr<void, Closer> cd(raw);

  std::string out(bytes.size() * 3 + 4, '\0');
  auto* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  std::size_t inLeft = bytes.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  if (iconv(raw, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
    badOffset = bytes.size() - inLeft;
    return std::nullopt;
  }
  out.resize(out.size() - outLeft);
  return out;
}
