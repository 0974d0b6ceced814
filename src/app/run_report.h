// The report pass: re-arms the output channels, reads every tag value,
// chooses the page length from the printer's orientation, breaks the page
// when it is (nearly) full, then renders the header and the report.

#ifndef HX_APP_RUN_REPORT_H_
#define HX_APP_RUN_REPORT_H_

#include "run/report_state.h"

namespace hx {

void RunReport(ReportState& rs);

}  // namespace hx

#endif  // HX_APP_RUN_REPORT_H_
