// Form_Load, the whole run of HX_RPT: prepare the controller link and the
// printer font, read HX_RPT.INI from the program's folder (which opens the
// controllers and fills the tag table), run the one report pass, and tell
// the caller whether the process ends now or the main window stays open.

#ifndef HX_APP_FORM_LOAD_H_
#define HX_APP_FORM_LOAD_H_

#include <string>

#include "base/report_state.h"

namespace hx {

enum class AfterLoad {
  kEnd,       // the report is done and nobody asked to see it: end the process
  kKeepOpen,  // SHOWIT, or a start-up failure: the main window stays until closed
};

// Full name of the definition file inside the program's folder.
std::string DefinitionPath(const std::string& program_folder);

// Everything after the single-instance check.  Never throws.
AfterLoad Form_Load(ReportState& rs);

}  // namespace hx

#endif  // HX_APP_FORM_LOAD_H_
