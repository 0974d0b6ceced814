// Value acquisition: the first step of every report pass.  Queries every
// defined tag of an open controller and stores the display text of its reply
// in TagText, which the template renderer lays into the report.

#ifndef HX_REPORT_PROCESS_LIST_H_
#define HX_REPORT_PROCESS_LIST_H_

#include "base/report_state.h"

namespace hx {

// Visits tags 0 to LastTag in order.  A tag whose controller slot is not open
// keeps its text; any other gets its formatted value or a failure fill.  A
// failure (a controller slot outside the table, a width beyond 16 bits, a
// missing conversion library) ends the pass under label::kProcessList; the tags
// visited so far keep their new texts.  A conversion library that failed
// (error 49, reported once under label::kProcessList) ends only the
// conversions: the tags that need one show the failure fill, the others
// their values.
void Process_List(ReportState& rs);

}  // namespace hx

#endif  // HX_REPORT_PROCESS_LIST_H_
