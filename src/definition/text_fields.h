// The tokenizer of the definition file's [TAGS] lines, GetNextParam, which
// remembers where it stopped in the line it saw last.  A delimiter is a
// blank (base/text.h) or a comma.  GetNextParam keeps its memory in the
// report state and traps its own failures.

#ifndef HX_DEFINITION_TEXT_FIELDS_H_
#define HX_DEFINITION_TEXT_FIELDS_H_

#include <string>

#include "base/text.h"
#include "run/report_state.h"

namespace hx {

// Next field of text, or "" when none is left.  Calling again with an equal
// text continues where the previous call stopped; another text starts over.
// Reported under label::kGetNextParam: a text longer than 32767 characters, which
// gives "".
std::string GetNextParam(ReportState& rs, const std::string& text);

}  // namespace hx

#endif  // HX_DEFINITION_TEXT_FIELDS_H_
