#include "app/run_report.h"

#include "base/run_error.h"
#include "output/line_print.h"
#include "platform/platform.h"
#include "report/process_list.h"
#include "report/render_lines.h"
#include "run/report_error.h"

namespace hx {

namespace {

// Page length for this pass, by the current printer's paper orientation.
int16_t ChoosePageLines(ReportState& rs) {
  int orientation = 0;
  try {
    orientation = rs.platform.printer.Orientation();
  } catch (...) {
    // A machine without a usable printer still owes the site its log and
    // screen report.  Nothing is shown here: when printing was asked for,
    // the printer channel reports its own failure at the first line.
    return rs.PortraitLines;
  }
  return orientation == Printer::kLandscape ? rs.LandScapeLines : rs.PortraitLines;
}

}  // namespace

void RunReport(ReportState& rs) {
  Trap(rs, label::kDoThis, [&] {
    rs.PrinterFailed = false;
    rs.LogFailed = false;

    Process_List(rs);

    rs.PageLines = ChoosePageLines(rs);
    const int16_t threshold = Sub16(rs.PageLines, kPageBreakMargin);
    if (rs.LineCount >= threshold) {
      LinePrint(rs, kFormFeedLine);
      LinePrint(rs, "");
    }

    RenderLines(rs, rs.HeaderLines, rs.HeaderCount);
    RenderLines(rs, rs.ReportLines, rs.ReportCount);
  });
}

}  // namespace hx
