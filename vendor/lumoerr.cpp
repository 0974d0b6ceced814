// Our stand-in for the vendor's error-text library LumoErr: a short English
// text for every status the stand-in controllers produce, and a general one
// naming the number for any other.

#include <algorithm>
#include <cstring>
#include <string>

#include "comm/vendor_abi.h"

namespace {

std::string TextOf(int16_t code) {
  switch (code) {
    case 0:
      return "No error.";
    case -1:
      return "The controller does not know the symbol or the command.";
    case -2:
      return "No controller of that name is known.";
    case -3:
      return "The controller handle is not valid.";
    case -4:
      return "The controller needs a power-up clear.";
    case -29:
      return "The controller does not respond.";
    case -100:
      return "The communication port is in use.";
    default:
      return "Communication error " + std::to_string(code) + ".";
  }
}

}  // namespace

extern "C" HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL T31ErrorAsString(int16_t code, char* text,
                                                                    int32_t text_size,
                                                                    int32_t* text_length) {
  const std::string t = TextOf(code);
  size_t n = 0;
  if (text != nullptr && text_size > 0) {
    n = std::min(t.size(), static_cast<size_t>(text_size));
    std::memcpy(text, t.data(), n);
  }
  if (text_length != nullptr) *text_length = static_cast<int32_t>(n);
  return 0;
}
