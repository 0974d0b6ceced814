// DefinitionCheck: what only the whole file shows, checked once the reader
// is done: its line ends, its code page, the log's name, and whether every
// tag's controller is ever opened.

#include "check/definition_check.h"

#include <algorithm>
#include <string>

#include "base/run_error.h"
#include "check/finding_text.h"
#include "definition/setup_keys.h"
#include "output/line_print.h"
#include "run/report_error.h"

namespace hx {

void DefinitionCheck::CheckAfterReading() {
  if (lf_alone_.count > 0) {
    Add(lf_alone_.first, Severity::kNote,
        Lines(lf_alone_.count, "line ends", "lines end") +
            " with LF alone (the first here); HX_RPT reads them, but older readers of this file "
            "take only CR LF or CR as a line end");
  }
  if (cr_alone_.count > 0) {
    Add(cr_alone_.first, Severity::kNote,
        Lines(cr_alone_.count, "line ends", "lines end") +
            " with CR alone (the first here); HX_RPT reads them, but many editors and tools "
            "show such a file as one line");
  }
  if (encoding_ != TextEncoding::kCodePage) {
    Add(1, Severity::kNote,
        "the file is read as " + std::string(EncodingName(encoding_)) +
            ": its text is turned into " + std::string(rs_.platform.code_page.name()) +
            ", a character that code page lacks becomes '?', and the log is written in UTF-8");
  }
  if (stop_error_ != 0) return;  // HX_RPT would produce no report at all

  if (rs_.HeaderCount == 0 && rs_.ReportCount == 0) {
    const bool no_tag =
        std::none_of(tags_.begin(), tags_.end(), [](const TagSeen& t) { return !t.lines.empty(); });
    Add(0, Severity::kWarning,
        std::string("the file gives HX_RPT nothing to report: no header or report template line") +
            (no_tag ? " and no tag" : "") + "; its report is empty");
  }

  if (rs_.LOGIT && rs_.LOGFILENAME.empty()) {
    Add(setting_lines_[SetupKey::kLogit], Severity::kWarning,
        Assignment(SetupKey::kLogit, kSwitchOn) + ", but no " +
            std::string(SetupKeyName(SetupKey::kLogFileName)) +
            " is set; the log cannot be written and HX_RPT reports \"" +
            std::string(kCouldNotWriteTo) + "\"");
  }
  CheckTagControllers();
  CheckTemplate(Section::kHeader, header_first_line_, rs_.HeaderLines.data(), rs_.HeaderCount);
  CheckTemplate(Section::kReport, report_first_line_, rs_.ReportLines.data(), rs_.ReportCount);
}

void DefinitionCheck::CheckTagControllers() {
  // The value pass visits slots 0 to LastTag and looks each tag's controller
  // up in the controller table, slots 0 to 6.
  for (int i = 0; i <= rs_.LastTag; ++i) {
    const TagSeen& seen = tags_[static_cast<size_t>(i)];
    if (seen.lines.empty()) continue;
    const Tag& t = rs_.TagTable[static_cast<size_t>(i)];
    const int c = t.TagController;
    const std::string tag = "tag " + std::to_string(i);
    if (c < 0 || static_cast<size_t>(c) >= rs_.ControllerHandle.size()) {
      Add(seen.lines.back(), Severity::kError,
          tag + ": controller " + std::to_string(c) +
              " is outside the controller table; HX_RPT stops reading values at this tag (" +
              ErrorIn(err::kSubscript, label::kProcessList) +
              "), and this tag and all after it show no value");
      return;
    }
    if (t.TagKind == kKindUndefined) continue;  // told at its line
    if (c < 1 || c > 5) {
      Add(seen.lines.back(), Severity::kWarning,
          tag + ": controller " + std::to_string(c) +
              " is never open (controllers are 1 to 5); the tag is never read and prints as "
              "blanks");
    } else if (controller_lines_[static_cast<size_t>(c)] == 0) {
      Add(seen.lines.back(), Severity::kWarning,
          tag + ": no [CONTROLLERS] line that HX_RPT reads opens controller " + std::to_string(c) +
              "; the tag is never read and prints as blanks");
    }
  }
}

}  // namespace hx
