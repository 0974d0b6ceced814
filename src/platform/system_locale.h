// What the system says about its text: the settings the program's code page
// is chosen from (ChooseCodePage in base/code_page.h).  One implementation
// per platform layer (posix/system_locale_posix.cpp,
// win32/system_locale_win32.cpp), in the system's services (hx_system) beside
// the program's folder, which HX_CHECK links too.
// Safe to call from any thread.

#ifndef HX_PLATFORM_SYSTEM_LOCALE_H_
#define HX_PLATFORM_SYSTEM_LOCALE_H_

#include <cstdio>
#include <string>

#include "base/code_page.h"

namespace hx {

struct SystemLocale {
  // The system's ANSI code page (Windows' GetACP); 0 on a system that has
  // none, where the user's locale stands for it.
  int ansi_code_page = 0;
  // The user's locale: "pl-PL" on Windows; "ru_RU.UTF-8" elsewhere, from
  // LC_ALL, LC_CTYPE or LANG, the first that is set.
  std::string user_locale;
};

SystemLocale ReadSystemLocale();

// The program's code page on this system, decided once at start-up.  When it
// is not the system's own, standard error says why, after program's name.
inline const CodePage& ProgramCodePage(const char* program) {
  const SystemLocale locale = ReadSystemLocale();
  const CodePageChoice choice = ChooseCodePage(locale.ansi_code_page, locale.user_locale);
  if (!choice.note.empty()) std::fprintf(stderr, "%s: %s\n", program, choice.note.c_str());
  return *choice.code_page;
}

}  // namespace hx

#endif  // HX_PLATFORM_SYSTEM_LOCALE_H_
