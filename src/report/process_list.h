// Value acquisition: queries every defined tag and formats its reply into
// the display text TagText that the template shows.

#ifndef HX_REPORT_PROCESS_LIST_H_
#define HX_REPORT_PROCESS_LIST_H_

#include "report/report_state.h"

namespace hx {

void Process_List(ReportState& rs);

}  // namespace hx

#endif  // HX_REPORT_PROCESS_LIST_H_
