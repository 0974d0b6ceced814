#include "platform/system_locale.h"

#include <cstdlib>

namespace hx {

SystemLocale ReadSystemLocale() {
  // The order in which the C library itself decides the character type.
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return {0, value};
  }
  return {};
}

}  // namespace hx
