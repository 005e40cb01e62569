#include "support/utf8.h"

namespace tavro {

char32_t NextCodePoint(std::string_view text, std::size_t& at, bool* malformed) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto bad = [&] {
    ++at;
    if (malformed != nullptr) *malformed = true;
    return kReplacementCharacter;
  };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  char32_t point = 0, lowest = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, point = lead & 0x1F, lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, point = lead & 0x0F, lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, point = lead & 0x07, lowest = 0x10000;
  }
  if (length == 0 || at + length > text.size()) return bad();
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return bad();
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return bad();
  at += length;
  return point;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

bool IsUtf8(std::string_view text) {
  bool malformed = false;
  for (std::size_t at = 0; at < text.size() && !malformed;) NextCodePoint(text, at, &malformed);
  return !malformed;
}

std::string Utf8OrLatin1(std::string_view text) {
  if (IsUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace tavro
