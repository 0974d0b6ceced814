// Pieces of a definition file as HX_CHECK's findings quote them: on one
// line, with control characters escaped and long texts cut.
//
// Thread-compatible: pure functions.

#ifndef HX_CHECK_SHOWN_TEXT_H_
#define HX_CHECK_SHOWN_TEXT_H_

#include <string>
#include <string_view>

namespace hx {

// text with tabs as \t, other control characters as \xNN.
std::string Escaped(std::string_view text);
// Escaped(text), cut after 60 characters with "..." after it.
std::string Shown(std::string_view text);
// Shown(text) between single quotes.
std::string Quoted(std::string_view text);

}  // namespace hx

#endif  // HX_CHECK_SHOWN_TEXT_H_
