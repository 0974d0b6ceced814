// The output channels: every report line and page eject goes through
// LinePrint to the log file, the window's text box and the printer, each when
// its setting is on.  A failing printer or log channel is reported once and
// switched off for the rest of the pass; the other channels carry on.

#ifndef HX_OUTPUT_LINE_PRINT_H_
#define HX_OUTPUT_LINE_PRINT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "run/report_state.h"

namespace hx {

// The line that asks the printer for a new page.
inline const std::string kFormFeedLine(1, '\f');

// The report pass starts on a new page when the lines printed so far have
// reached the page length less this margin.
inline constexpr int16_t kPageBreakMargin = 5;

// How a failed channel's message begins; the printer's identifying text or
// the log file's name follows.
inline constexpr std::string_view kCouldNotPrintTo = "Could not print to: ";
inline constexpr std::string_view kCouldNotWriteTo = "Could not write to: ";

void LinePrint(ReportState& rs, const std::string& line);
void LogPrint(ReportState& rs, const std::string& line);
// Hands the print job to the printing system, whether the window then stays
// open or not; a refusal is reported under label::kLinePrint like any printer failure.
void FinishPrinting(ReportState& rs);

}  // namespace hx

#endif  // HX_OUTPUT_LINE_PRINT_H_
