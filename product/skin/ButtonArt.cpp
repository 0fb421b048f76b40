#include "product/skin/ButtonArt.h"

#include <cstdlib>

namespace skin {
namespace {

constexpr int kGlyphSize = 12;

struct Palette {
  Rgb frame, light, shadow, face, ink;
};

Palette PaletteFor(ButtonState state) {
  switch (state) {
    case ButtonState::kHot:
      return {{0x1f, 0x3b, 0x66}, {0xc8, 0xe0, 0xff}, {0x32, 0x64, 0xa8}, {0x5a, 0x9b, 0xf0},
              {0xff, 0xff, 0xff}};
    case ButtonState::kDown:
      // Shadow above, light below: the face looks pushed in.
      return {{0x1f, 0x3b, 0x66}, {0x1a, 0x3c, 0x70}, {0x6e, 0x9c, 0xd8}, {0x2a, 0x5c, 0xa8},
              {0xe6, 0xf0, 0xff}};
    case ButtonState::kDisabled:
      return {{0x80, 0x80, 0x80}, {0xe4, 0xe4, 0xe4}, {0xa0, 0xa0, 0xa0}, {0xc8, 0xc8, 0xc8},
              {0x90, 0x90, 0x90}};
    case ButtonState::kNormal:
    default:
      return {{0x1f, 0x3b, 0x66}, {0x8c, 0xb8, 0xf2}, {0x2a, 0x50, 0x8c}, {0x3c, 0x7d, 0xd9},
              {0xff, 0xff, 0xff}};
  }
}

// Whether the glyph covers (x, y) of its 12 by 12 box.
bool Covers(Glyph glyph, int x, int y) {
  switch (glyph) {
    case Glyph::kInstall: {  // an arrow down onto a tray
      const bool shaft = (x == 5 || x == 6) && y <= 4;
      const bool head = y >= 5 && y <= 9 && std::abs(2 * x - 11) <= 2 * (9 - y) + 1;
      const bool tray = y == 11 && x >= 1 && x <= 10;
      return shaft || head || tray;
    }
    case Glyph::kNext:  // a triangle pointing right
      return x >= 3 && x <= 8 && std::abs(2 * y - 11) <= 2 * (8 - x) + 1;
    case Glyph::kBack:
      return Covers(Glyph::kNext, kGlyphSize - 1 - x, y);
    case Glyph::kCancel:  // a cross
      return x >= 1 && x <= 10 && y >= 1 && y <= 10 &&
             (std::abs(x - y) <= 1 || std::abs(kGlyphSize - 1 - x - y) <= 1);
    case Glyph::kBrowse:  // an ellipsis
      return (y == 5 || y == 6) && (x % 4 == 1 || x % 4 == 2) && x <= 10;
  }
  return false;
}

}  // namespace

Bitmap DrawButton(Glyph glyph, ButtonState state) {
  const Palette colours = PaletteFor(state);
  const int w = kButtonWidth, h = kButtonHeight;
  Bitmap button(w, h, colours.frame);
  button.Fill(1, 1, w - 1, h - 1, colours.shadow);
  button.Fill(1, 1, w - 2, h - 2, colours.light);
  button.Fill(2, 2, w - 2, h - 2, colours.face);

  const int shift = state == ButtonState::kDown ? 1 : 0;
  const int left = (w - kGlyphSize) / 2 + shift;
  const int top = (h - kGlyphSize) / 2 + shift;
  for (int y = 0; y < kGlyphSize; ++y) {
    for (int x = 0; x < kGlyphSize; ++x) {
      if (Covers(glyph, x, y)) button.Set(left + x, top + y, colours.ink);
    }
  }
  return button;
}

}  // namespace skin
