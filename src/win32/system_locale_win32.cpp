#include "platform/system_locale.h"

#include <windows.h>

namespace hx {

SystemLocale ReadSystemLocale() {
  SystemLocale locale;
  locale.ansi_code_page = static_cast<int>(GetACP());
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) > 0) {
    // Locale names are plain ASCII.
    for (const wchar_t* c = name; *c != L'\0'; ++c) locale.user_locale += static_cast<char>(*c);
  }
  return locale;
}

}  // namespace hx
