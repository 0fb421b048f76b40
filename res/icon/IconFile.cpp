#include "IconFile.h"

#include <stdexcept>

#include "ByteWriter.h"
#include "Palette.h"

namespace {

constexpr unsigned kOpaqueAlpha = 128;  // from here on a pixel is drawn, not masked

std::size_t rowBytes(int bitsPerRow) { return static_cast<std::size_t>((bitsPerRow + 31) / 32) * 4; }

// Packs rows bottom-up, as bitmaps store them; value(x, y) is a pixel's
// index or mask bit.
template <typename Value>
void packRows(ByteWriter& out, int size, int bits, Value value) {
  const std::size_t stride = rowBytes(size * bits);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < size; ++x) {
      const unsigned v = value(x, y);
      const int bit = x * bits;
      row[static_cast<std::size_t>(bit / 8)] |=
          static_cast<std::uint8_t>(v << (8 - bits - bit % 8));
    }
    out.append(row);
  }
}

// Palette images hide their masked pixels behind entry 0, which is black:
// the mask clears the screen there and black leaves it as it is.
std::vector<Rgb8> tableFor(const Artwork& art, int bitsPerPixel) {
  if (bitsPerPixel == 4) {
    return {classicPalette().begin(), classicPalette().end()};
  }
  std::vector<Rgb8> drawn;
  for (const Rgba8& p : art.pixels) {
    if (p.a >= kOpaqueAlpha) drawn.push_back({p.r, p.g, p.b});
  }
  std::vector<Rgb8> table{{0, 0, 0}};
  for (Rgb8 c : fitPalette(drawn, 255)) table.push_back(c);
  table.resize(256, {0, 0, 0});
  return table;
}

}  // namespace

IconImage encodeIconImage(const Artwork& art, int bitsPerPixel) {
  if (bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 32) {
    throw std::invalid_argument("icon images are 4, 8 or 32 bits per pixel");
  }
  const int n = art.size;
  auto pixel = [&](int x, int y) { return art.pixels[static_cast<std::size_t>(y * n + x)]; };
  auto masked = [&](int x, int y) -> bool {
    if (bitsPerPixel == 4) return art.classic[static_cast<std::size_t>(y * n + x)] < 0;
    return pixel(x, y).a < kOpaqueAlpha;
  };

  const std::size_t colourBytes = rowBytes(n * bitsPerPixel) * static_cast<std::size_t>(n);
  const std::size_t maskBytes = rowBytes(n) * static_cast<std::size_t>(n);
  ByteWriter out;
  out.u32(40);  // BITMAPINFOHEADER
  out.u32(static_cast<std::uint32_t>(n));
  out.u32(static_cast<std::uint32_t>(2 * n));  // colour image and mask, stacked
  out.u16(1);
  out.u16(static_cast<unsigned>(bitsPerPixel));
  out.u32(0);  // uncompressed
  out.u32(static_cast<std::uint32_t>(colourBytes + maskBytes));
  out.u32(0);
  out.u32(0);
  out.u32(0);  // a full colour table
  out.u32(0);

  if (bitsPerPixel == 32) {
    for (int y = n - 1; y >= 0; --y) {
      for (int x = 0; x < n; ++x) {
        const Rgba8 p = pixel(x, y);
        out.u8(p.b);
        out.u8(p.g);
        out.u8(p.r);
        out.u8(p.a);
      }
    }
  } else {
    const std::vector<Rgb8> table = tableFor(art, bitsPerPixel);
    for (Rgb8 c : table) {
      out.u8(c.b);
      out.u8(c.g);
      out.u8(c.r);
      out.u8(0);
    }
    packRows(out, n, bitsPerPixel, [&](int x, int y) -> unsigned {
      if (masked(x, y)) return 0;
      if (bitsPerPixel == 4) return static_cast<unsigned>(art.classic[static_cast<std::size_t>(y * n + x)]);
      const Rgba8 p = pixel(x, y);
      return static_cast<unsigned>(nearestEntry(table, {p.r, p.g, p.b}));
    });
  }
  packRows(out, n, 1, [&](int x, int y) -> unsigned { return masked(x, y) ? 1 : 0; });
  return {n, bitsPerPixel, out.bytes()};
}

namespace {

// The fields an .ico entry and a group entry share.
void describe(ByteWriter& out, const IconImage& image) {
  out.u8(image.size < 256 ? static_cast<unsigned>(image.size) : 0);
  out.u8(image.size < 256 ? static_cast<unsigned>(image.size) : 0);
  out.u8(image.bitsPerPixel == 4 ? 16 : 0);  // colour count; 0 means 256 or more
  out.u8(0);
  out.u16(1);  // planes
  out.u16(static_cast<unsigned>(image.bitsPerPixel));
  out.u32(static_cast<std::uint32_t>(image.dib.size()));
}

}  // namespace

std::vector<std::uint8_t> iconFile(const std::vector<IconImage>& images) {
  ByteWriter out;
  out.u16(0);
  out.u16(1);  // icons, not cursors
  out.u16(static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (const IconImage& image : images) {
    describe(out, image);
    out.u32(static_cast<std::uint32_t>(offset));
    offset += image.dib.size();
  }
  for (const IconImage& image : images) out.append(image.dib);
  return out.bytes();
}

std::vector<std::uint8_t> iconGroup(const std::vector<IconImage>& images, unsigned firstId) {
  ByteWriter out;
  out.u16(0);
  out.u16(1);
  out.u16(static_cast<unsigned>(images.size()));
  unsigned id = firstId;
  for (const IconImage& image : images) {
    describe(out, image);
    out.u16(id++);
  }
  return out.bytes();
}
