// Program text on the window, the dialog and the paper: each byte is the
// character the program's code page gives it (base/code_page.h).

#ifndef HX_QT_PROGRAM_TEXT_H_
#define HX_QT_PROGRAM_TEXT_H_

#include <QString>
#include <string_view>

#include "base/code_page.h"

namespace hx {

// Every character of the single-byte code pages lies in Unicode's first
// plane, so each byte is one QChar.
inline QString FromProgramText(std::string_view text, const CodePage& code_page) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char byte : text)
    out += QChar(static_cast<char16_t>(code_page.UnicodeOf(static_cast<unsigned char>(byte))));
  return out;
}

}  // namespace hx

#endif  // HX_QT_PROGRAM_TEXT_H_
