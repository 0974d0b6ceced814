// Turns one [TAGS] line of the definition file into a slot of the tag table.

#ifndef HX_DEFINITION_TAG_LINE_H_
#define HX_DEFINITION_TAG_LINE_H_

#include <string>

#include "base/report_state.h"

namespace hx {

// Applies line field by field; stops silently at the first field it does not
// accept.  An index outside 0..400 or a number beyond 16 bits raises RunError,
// which stops the reading of the whole file.
void ReadTagLine(ReportState& rs, const std::string& line);

}  // namespace hx

#endif  // HX_DEFINITION_TAG_LINE_H_
