#include "check/shown_text.h"

#include <cstdio>

namespace hx {
namespace {

constexpr size_t kShownLength = 60;

}  // namespace

std::string Shown(std::string_view text) {
  std::string shown;
  for (size_t i = 0; i < text.size() && i < kShownLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      shown += "\\t";
    } else if (c < 32 || c == 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    } else {
      shown += static_cast<char>(c);
    }
  }
  if (text.size() > kShownLength) shown += "...";
  return shown;
}

std::string Quoted(std::string_view text) {
  return "'" + Shown(text) + "'";
}

}  // namespace hx
