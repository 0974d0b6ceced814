#include "run/report_error.h"

#include <new>
#include <utility>

#include "platform/platform.h"

namespace hx {

std::string_view ErrorDescription(int32_t number) {
  static constexpr std::pair<int32_t, std::string_view> kDescriptions[] = {
      {3, "Return without GoSub"},
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {11, "Division by zero"},
      {13, "Type mismatch"},
      {48, "Error in loading DLL"},
      {49, "Vendor library failed"},
      {51, "Internal error"},
      {52, "Bad file name or number"},
      {53, "File not found"},
      {54, "Bad file mode"},
      {55, "File already open"},
      {57, "Device I/O error"},
      {61, "Disk full"},
      {62, "Input past end of file"},
      {67, "Too many files"},
      {68, "Device unavailable"},
      {70, "Permission denied"},
      {71, "Disk not ready"},
      {75, "Path/File access error"},
      {76, "Path not found"},
      {453, "Specified DLL function not found"},
      {482, "Printer error"},
      {483, "Printer driver does not support specified property"},
      {484,
       "Problem getting printer information from the system. Make sure the printer is set up "
       "correctly"},
  };
  for (const auto& [n, text] : kDescriptions)
    if (n == number) return text;
  return "Application-defined or object-defined error";
}

std::string ErrorText(int32_t number, std::string_view message, std::string_view label) {
  std::string text = "Error:";
  if (number >= 0) text += ' ';
  text += std::to_string(number);
  text += " ";
  text += " ";
  text += message;
  text += "\r\n";
  text += ErrorDescription(number);
  text += " in: ";
  text += label;
  return text;
}

void ReportError(ReportState& rs, int32_t number, std::string_view message,
                 std::string_view label) {
  rs.AnyFailure = true;
  try {
    rs.platform.dialog.ShowMessage(ErrorText(number, message, label), kReportErrorFlags,
                                   std::string(kReportErrorCaption));
  } catch (...) {
    // Reporting is called from failure paths and must never fail itself; the
    // exit status still tells that the run went wrong.
    rs.platform.notes.Note("could not show an error message");
  }
}

int32_t ErrorNumberOf(std::exception_ptr e, RunNotes& notes) {
  try {
    std::rethrow_exception(e);
  } catch (const RunError& r) {
    if (!r.detail().empty()) notes.Note(r.detail());
    return r.number();
  } catch (const std::bad_alloc&) {
    return err::kOutOfMemory;
  } catch (...) {
    return err::kInternal;
  }
}

}  // namespace hx
