// Reads the definition file HX_RPT.INI into the report state: settings,
// controllers (opened as they are read), tags, the header block and the
// report template.

#ifndef HX_DEFINITION_DEFINITION_READER_H_
#define HX_DEFINITION_DEFINITION_READER_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

#include "base/paths.h"
#include "definition/definition_observer.h"
#include "run/report_state.h"

namespace hx {

// The shortest DATEFORMAT and TIMEFORMAT taken; a shorter one is passed over.
inline constexpr size_t kMinDateFormat = 8;
inline constexpr size_t kMinTimeFormat = 5;
// Lines of the settings, controller and tag sections are cut up with 16-bit
// positions, so a longer one cannot be read.
inline constexpr size_t kMaxSectionLine = 32767;
// The most lines a header block and the report template hold.
inline constexpr int16_t kMaxHeaderLines = 10;
inline constexpr int16_t kMaxReportLines = 400;

// Reads the whole file once from top to bottom.  A file in Unicode (UTF-8 or
// UTF-16, definition/file_text.h) is read in the program's 8-bit code page (a
// character the code page lacks becomes "?"), and DefinitionEncoding says
// which; any other file is taken byte for byte, and one that is mostly UTF-8
// all the same is said in the run's notes.
// Content it does not accept is passed over silently, or told to observer
// when one is given; failures that stop the reading (a file with a NUL
// character, which is no text, before anything is read; a number beyond 16
// bits, a tag index outside 0..400, an over-long line, a failing printer
// call) raise RunError for the start-up trap.
void ReadDefinition(ReportState& rs, std::istream& in, DefinitionObserver* observer = nullptr);

// The section a header line names, as the reader matches it, trying the
// sections in their order; none when it names no section.
std::optional<Section> NamedSection(const std::string& line);

}  // namespace hx

#endif  // HX_DEFINITION_DEFINITION_READER_H_
