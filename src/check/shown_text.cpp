#include "check/shown_text.h"

#include <cstdio>

namespace hx {
namespace {

constexpr size_t kShownLength = 60;

}  // namespace

std::string Escaped(std::string_view text) {
  std::string shown;
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (c == '\t') {
      shown += "\\t";
    } else if (c < 32 || c == 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    } else {
      shown += byte;
    }
  }
  return shown;
}

std::string Shown(std::string_view text) {
  if (text.size() <= kShownLength) return Escaped(text);
  return Escaped(text.substr(0, kShownLength)) + "...";
}

std::string Quoted(std::string_view text) {
  return "'" + Shown(text) + "'";
}

}  // namespace hx
