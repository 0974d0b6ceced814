#include "output/line_print.h"

// Placeholder until the output channels land.
namespace hx {
void LinePrint(ReportState& rs, const std::string& line) {
  if (rs.SHOWIT) rs.platform.screen.InsertText(line + "\r\n");
}
void LogPrint(ReportState&, const std::string&) {}
}  // namespace hx
