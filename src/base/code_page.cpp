#include "base/code_page.h"

#include <array>
#include <cstdint>

namespace hx {

namespace {

// Bytes 0x80 to 0x9F, where Windows-1252 differs from ISO 8859-1.  The five
// it leaves unassigned keep their own code.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The next character of UTF-8 text from at, which moves past it; a
// malformed sequence gives kBad and moves past its first byte only.
constexpr char32_t kBad = 0xFFFFFFFF;
char32_t NextCharacter(std::string_view text, size_t& at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  size_t length;
  char32_t c;
  char32_t least;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    ++at;
    return kBad;
  }
  if (text.size() - at < length) {
    ++at;
    return kBad;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) {
      ++at;
      return kBad;
    }
    c = (c << 6) | (byte(at + k) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++at;
    return kBad;
  }
  at += length;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char ByteOfCharacter(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == c) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace

char32_t UnicodeOfByte(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

bool IsUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();)
    if (NextCharacter(text, at) == kBad) return false;
  return true;
}

size_t Utf8CutShort(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

std::string Utf8FromProgramText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char byte : text) AppendUtf8(out, UnicodeOfByte(static_cast<unsigned char>(byte)));
  return out;
}

std::string ProgramTextFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const char32_t c = NextCharacter(text, at);
    out += c == kBad ? '?' : ByteOfCharacter(c);
  }
  return out;
}

}  // namespace hx
