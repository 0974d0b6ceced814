// Template line rendering: lays tag display texts, the date and the time into
// template lines by column and hands each finished line to LinePrint.

#ifndef HX_REPORT_RENDER_LINES_H_
#define HX_REPORT_RENDER_LINES_H_

#include <cstdint>
#include <span>
#include <string>

#include "run/report_state.h"

namespace hx {

// Renders lines[1..count] (slot 0 is unused) in order.
void RenderLines(ReportState& rs, std::span<const std::string> lines, int16_t count);

}  // namespace hx

#endif  // HX_REPORT_RENDER_LINES_H_
