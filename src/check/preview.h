// HX_CHECK --preview: the report HX_RPT would make of a checked definition
// file, laid out by HX_RPT's own renderer, before any controller is asked.
// Every tag a [TAGS] line names shows the widest display its definition
// allows, a tag no line names is blank as in the report, and the date and
// time come from the clock in the file's formats.  Page breaks, which the
// report gives as form-feed lines, show as a visible mark.  Nothing is
// printed, logged or shown: the lines are only collected.
//
// Single-threaded, like the check it reads.

#ifndef HX_CHECK_PREVIEW_H_
#define HX_CHECK_PREVIEW_H_

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "check/definition_check.h"
#include "platform/platform.h"

namespace hx {

// Stands for a page break in the preview.
inline constexpr std::string_view kPageBreakMark = "==== page break ====";

// The report lines in the order HX_RPT emits them, as program text: the
// report pass's page break where the page length asks for one, the header
// block, the report template.  Empty when HX_RPT would produce no report.
std::vector<std::string> PreviewLines(const DefinitionCheck& check, Clock& clock);

// A heading, then PreviewLines in the terminal's UTF-8; or why there is no
// report.
void WritePreview(const DefinitionCheck& check, Clock& clock, std::ostream& out);

}  // namespace hx

#endif  // HX_CHECK_PREVIEW_H_
