// Draws the product icon and writes it as an .ico file, plus the icon group
// directory that lets a second icon resource show the same images without
// storing them twice.
//   make-product-icon ICO GROUP [FIRST_ID]
// FIRST_ID is the resource id the resource compiler gives the .ico's first
// image (1 when it is the script's first ICON statement); the group names
// the twelve images FIRST_ID onwards, in file order.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "IconFile.h"
#include "ProductArt.h"

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "make-product-icon: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: make-product-icon ICO GROUP [FIRST_ID]\n");
    return 2;
  }
  const unsigned long firstId = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 1;
  if (firstId < 1 || firstId > 0xFFFF - 11) {
    std::fprintf(stderr, "make-product-icon: FIRST_ID must be 1 to %d\n", 0xFFFF - 11);
    return 2;
  }

  std::vector<IconImage> images;
  for (int size : {48, 32, 24, 16}) {
    const Artwork art = drawProductIcon(size);
    for (int bits : {4, 8, 32}) images.push_back(encodeIconImage(art, bits));
  }
  return writeFile(argv[1], iconFile(images)) &&
                 writeFile(argv[2], iconGroup(images, static_cast<unsigned>(firstId)))
             ? 0
             : 1;
}
