// Form_Load, the whole run of HX_RPT: prepare the controller link and the
// printer font, read HX_RPT.INI from the program's folder (which opens the
// controllers and fills the tag table), run the one report pass, and tell
// the caller whether the process ends now or the main window stays open.

#ifndef HX_APP_FORM_LOAD_H_
#define HX_APP_FORM_LOAD_H_

#include <functional>
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

// The program's run on the seams of platform, after the single-instance
// check: Form_Load, then the print job handed to the printing system, then
// stay_open() when the main window stays, which returns once the user has
// closed it.  Every message of the run also goes to standard error
// (EchoingDialog).  The result is the exit status: 1 when anything went
// wrong in the run, 0 otherwise.
int RunProgram(Platform& platform, const std::function<void()>& stay_open);

}  // namespace hx

#endif  // HX_APP_FORM_LOAD_H_
