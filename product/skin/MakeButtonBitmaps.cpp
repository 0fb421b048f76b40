// make_button_bitmaps FOLDER: writes the installer's 20 button bitmaps,
// btn_<button>_<state>.bmp, into FOLDER (created when missing).
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "product/skin/BmpFile.h"
#include "product/skin/ButtonArt.h"

namespace {

struct NamedGlyph {
  skin::Glyph glyph;
  const char* name;
};
struct NamedState {
  skin::ButtonState state;
  const char* name;
};

const NamedGlyph kButtons[] = {{skin::Glyph::kInstall, "install"},
                               {skin::Glyph::kNext, "next"},
                               {skin::Glyph::kBack, "back"},
                               {skin::Glyph::kCancel, "cancel"},
                               {skin::Glyph::kBrowse, "browse"}};
const NamedState kStates[] = {{skin::ButtonState::kNormal, "normal"},
                              {skin::ButtonState::kHot, "hot"},
                              {skin::ButtonState::kDown, "down"},
                              {skin::ButtonState::kDisabled, "disabled"}};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_button_bitmaps FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make_button_bitmaps: cannot create %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return 1;
  }
  for (const NamedGlyph& button : kButtons) {
    for (const NamedState& state : kStates) {
      const std::string path =
          folder + "/btn_" + button.name + "_" + state.name + ".bmp";
      if (!skin::WriteBmp(path, skin::DrawButton(button.glyph, state.state))) {
        std::fprintf(stderr, "make_button_bitmaps: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}
