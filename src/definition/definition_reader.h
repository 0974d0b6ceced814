// Reads the definition file HX_RPT.INI into the report state: settings,
// controllers (opened as they are read), tags, the header block and the
// report template.

#ifndef HX_DEFINITION_DEFINITION_READER_H_
#define HX_DEFINITION_DEFINITION_READER_H_

#include <istream>

#include "base/report_state.h"

namespace hx {

inline constexpr const char* kDefinitionFileName = "HX_RPT.INI";

// Reads the whole file once from top to bottom.  A file that starts with the
// UTF-8 byte order mark, or is UTF-8 throughout and holds characters beyond
// ASCII, is read in the program's 8-bit code page (a character the code page
// lacks becomes "?"), and DefinitionUtf8 is set; any other file is taken byte
// for byte.  Content it does not accept
// is passed over silently; failures that stop the reading (a number beyond 16
// bits, a tag index outside 0..400, an over-long line, a failing printer call)
// raise RunError for the start-up trap.
void ReadDefinition(ReportState& rs, std::istream& in);

}  // namespace hx

#endif  // HX_DEFINITION_DEFINITION_READER_H_
