#include "report/process_list.h"

// Placeholder until value acquisition lands.
namespace hx {
void Process_List(ReportState&) {}
}  // namespace hx
