// Program text on the window, the dialog and the paper: each byte is the
// character Windows-1252 gives it (base/code_page.h).

#ifndef HX_QT_PROGRAM_TEXT_H_
#define HX_QT_PROGRAM_TEXT_H_

#include <QString>
#include <string_view>

#include "base/code_page.h"

namespace hx {

inline QString FromProgramText(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char byte : text)
    out += QChar(static_cast<char16_t>(UnicodeOfByte(static_cast<unsigned char>(byte))));
  return out;
}

}  // namespace hx

#endif  // HX_QT_PROGRAM_TEXT_H_
