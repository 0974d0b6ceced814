// Where a template field's text runs over the template around it.  A tag
// field covers its own span, from its backslash to the blank that closes it;
// a value wider than that covers the template text after it, which the
// renderer then drops, and a field whose column lies under an earlier
// field's text is moved right, to just after that text.  HX_CHECK lays every
// field out at its widest, with the renderer's own layout
// (report/line_layout.h), to find both before the morning's printout does.
//
// Thread-compatible: pure functions.

#ifndef HX_CHECK_FIELD_OVERLAP_H_
#define HX_CHECK_FIELD_OVERLAP_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/line_layout.h"
#include "report/template_fields.h"
#include "run/report_state.h"

namespace hx {

// The widest display text the definition of tag allows, formatted as the
// value pass formats it: a number of full width with its decimals, the
// longer text of an ON/OFF pair, a string as wide as its width; or the
// failure fill of a failed query where that is wider.  Empty for a width
// the value pass fails on.
std::string WidestTagText(const Tag& tag);

// The longest text the date or time pattern gives over the days of a year,
// at the hour that reads widest.
std::string WidestClockText(std::string_view pattern);

// One finding per covered text and per field moved right, for example
// "tag 12 is 6 wide and covers 'de' of 'degC', columns 11 to 12, which are
// then not printed".
std::vector<std::string> FieldOverlaps(const std::string& line,
                                       const std::vector<TemplateField>& fields,
                                       const std::vector<std::string>& texts);

}  // namespace hx

#endif  // HX_CHECK_FIELD_OVERLAP_H_
