// The installer's button faces: one picture per button and state, drawn
// from a few rules so that they share one look.
#pragma once

#include "product/skin/Bitmap.h"

namespace skin {

constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 24;

enum class Glyph { kInstall, kNext, kBack, kCancel, kBrowse };
enum class ButtonState { kNormal, kHot, kDown, kDisabled };

// A framed, bevelled face with the glyph in the middle; pressed buttons
// have the bevel reversed and the glyph moved one pixel down and right.
Bitmap DrawButton(Glyph glyph, ButtonState state);

}  // namespace skin
