// ReportError, the one place where a trapped failure becomes a message, and
// Trap, the failure convention every working procedure follows: run the body,
// and on a failure abandon the rest of it, report once under the procedure's
// fixed location label, and return normally so that the caller carries on.

#ifndef HX_RUN_REPORT_ERROR_H_
#define HX_RUN_REPORT_ERROR_H_

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "base/run_error.h"
#include "platform/platform.h"
#include "run/report_state.h"

namespace hx {

inline constexpr int16_t kReportErrorFlags = mbox::kCritical;  // with OK alone
inline constexpr std::string_view kReportErrorCaption = "HX_RPT Error Handler";

// The location labels the traps report under, fixed texts that users and
// support know the failures by.  They do not always match the procedure's
// name: the report pass RunReport is kDoThis, Form_Load is kFormLoad, and the
// template renderer RenderLines shares kSendRecv with the controller query.
// StripLead, StripTrail and IsNum cannot fail, so their labels never appear.
namespace label {
inline constexpr std::string_view kFormLoad = "FormLoad";
inline constexpr std::string_view kGetNextParam = "GetNextParam$";
inline constexpr std::string_view kGetHandle = "GetHandle";
inline constexpr std::string_view kSendRecv = "SendRecv";
inline constexpr std::string_view kSendPUC = "SendPUC";
inline constexpr std::string_view kProcessList = "Process_List";
inline constexpr std::string_view kDoThis = "Do This";
inline constexpr std::string_view kLinePrint = "LinePrint";
inline constexpr std::string_view kLogPrint = "LogPrint";
}  // namespace label

// The one-line description of a run-time error number; a general text for
// numbers the program never raises.
std::string_view ErrorDescription(int32_t number);

// The two-line text ReportError shows.
std::string ErrorText(int32_t number, std::string_view message, std::string_view label);

// Shows the failure in the message dialog and marks the run as failed.  Never fails.
void ReportError(ReportState& rs, int32_t number, std::string_view message, std::string_view label);

// The run-time error number of whatever a procedure body threw.  A detail the
// failure carries (which library, which file) goes to the run's notes, since
// the report text holds only the number.
int32_t ErrorNumberOf(std::exception_ptr e, RunNotes& notes);

// Runs body under the trap of the procedure labelled label.  When it fails,
// on_failure(number) runs first (it sets a channel's latch and returns the
// message to show), then ReportError is called once.  Returns whether the body
// ran to its end.
template <class Body, class OnFailure>
bool TrapWith(ReportState& rs, std::string_view label, Body&& body, OnFailure&& on_failure) {
  int32_t number = 0;
  try {
    body();
    return true;
  } catch (const RunError& e) {
    if (e.already_reported()) return false;
    number = ErrorNumberOf(std::current_exception(), rs.platform.notes);
  } catch (...) {
    number = ErrorNumberOf(std::current_exception(), rs.platform.notes);
  }
  std::string message;
  try {
    message = on_failure(number);
  } catch (...) {
    // The latch is set before anything that can throw; a lost message text is
    // better than a lost report.
  }
  ReportError(rs, number, message, label);
  return false;
}

template <class Body>
bool Trap(ReportState& rs, std::string_view label, Body&& body) {
  return TrapWith(rs, label, std::forward<Body>(body), [](int32_t) { return std::string(); });
}

// Runs body under the trap of label for a failed vendor library alone
// (error 49): it is reported there once, and the caller goes on with the
// rest of its work, since that library's calls are all it lost.  Any other
// failure goes on to the caller's own trap.  Returns whether body ran to
// its end.
template <class Body>
bool TrapVendorFailure(ReportState& rs, std::string_view label, Body&& body) {
  try {
    body();
    return true;
  } catch (const RunError& e) {
    if (e.number() != err::kVendorFailed) throw;
    return Trap(rs, label, [] { throw; });
  }
}

}  // namespace hx

#endif  // HX_RUN_REPORT_ERROR_H_
