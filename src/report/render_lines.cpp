#include "report/render_lines.h"

#include "output/line_print.h"

// Placeholder until template rendering lands.
namespace hx {
void RenderLines(ReportState& rs, std::span<const std::string> lines, int16_t count) {
  for (int16_t k = 1; k <= count && k < static_cast<int16_t>(lines.size()); ++k)
    LinePrint(rs, lines[k]);
}
}  // namespace hx
