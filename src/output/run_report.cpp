#include "output/run_report.h"

#include "report/process_list.h"
#include "report/render_lines.h"

// Placeholder until the report pass lands.
namespace hx {
void RunReport(ReportState& rs) {
  Process_List(rs);
  RenderLines(rs, rs.HeaderLines, rs.HeaderCount);
  RenderLines(rs, rs.ReportLines, rs.ReportCount);
}
}  // namespace hx
