#include "payload/Characters.h"

namespace payload {

std::string FoldCase(const std::string& text) {
  std::string folded = text;
  ForEachSingleByte(text, [&](size_t i, unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') folded[i] = static_cast<char>(byte - 'a' + 'A');
  });
  return folded;
}

bool EqualsIgnoringCase(const std::string& left, const std::string& right) {
  return left.size() == right.size() && FoldCase(left) == FoldCase(right);
}

}  // namespace payload
