#include "platform/text.h"

namespace platform {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

// Byte offset after the first `characters` code points.
std::size_t PrefixBytes(std::string_view text, std::size_t characters) {
  std::size_t offset = 0;
  while (offset < text.size() && characters > 0) {
    ++offset;
    while (offset < text.size() && IsContinuationByte(text[offset])) ++offset;
    --characters;
  }
  return offset;
}

}  // namespace

std::string Left(std::string_view text, std::size_t characters) {
  return std::string(text.substr(0, PrefixBytes(text, characters)));
}

std::string Right(std::string_view text, std::size_t characters) {
  std::size_t offset = text.size();
  while (offset > 0 && characters > 0) {
    --offset;
    while (offset > 0 && IsContinuationByte(text[offset])) --offset;
    --characters;
  }
  return std::string(text.substr(offset));
}

std::string UCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string Replace(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string result;
  std::size_t from = 0;
  for (std::size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, from)) {
    result.append(text.substr(from, at - from)).append(with);
    from = at + find.size();
  }
  return result.append(text.substr(from));
}

}  // namespace platform
