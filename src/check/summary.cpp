// DefinitionCheck: the counts of the findings, and the summary of what
// HX_RPT would work with.

#include "check/definition_check.h"

#include <iomanip>
#include <sstream>

#include "base/code_page.h"
#include "check/finding_text.h"
#include "check/shown_text.h"
#include "definition/setup_keys.h"
#include "platform/platform.h"
#include "report/date_time_format.h"

namespace hx {
namespace {

const char* KindName(int16_t kind) {
  switch (kind) {
    case kKindInteger:
      return "integer";
    case kKindFloat:
      return "float";
    case kKindText:
      return "text";
    default:
      return "undefined";
  }
}

}  // namespace

void DefinitionCheck::WriteCounts(std::ostream& out) const {
  int counts[3] = {};
  for (const Diagnostic& d : diagnostics_) ++counts[static_cast<int>(d.severity)];
  out << file_name_ << ": " << Lines(lines_, "line", "lines") << "; "
      << Lines(counts[2], "error", "errors") << ", " << Lines(counts[1], "warning", "warnings")
      << ", " << Lines(counts[0], "note", "notes") << "\n";
  if (cannot_read_) return;
  out << "Read in " << rs_.platform.code_page.name() << ", HX_RPT's code page on this system"
      << (encoding_ == TextEncoding::kCodePage ? ", byte for byte"
                                               : ", from " + std::string(EncodingName(encoding_)))
      << ".\n";
}

std::string DefinitionCheck::InForce(SetupKey key) const {
  auto on = [](bool on) { return on ? std::string(kSwitchOn) : std::string("FALSE"); };
  auto text = [](const std::string& v) { return v.empty() ? std::string("(empty)") : Shown(v); };
  auto or_else = [](const std::string& v, std::string_view start) {
    return v.empty() ? "(" + std::string(start) + ")" : Shown(v);
  };
  switch (key) {
    case SetupKey::kPrintit:
      return on(rs_.PRINTIT);
    case SetupKey::kShowit:
      return on(rs_.SHOWIT);
    case SetupKey::kLogit:
      return on(rs_.LOGIT);
    case SetupKey::kLogFilePath:
      return or_else(rs_.LOGFILEPATH, "the program's folder");
    case SetupKey::kLogFileName:
      return text(rs_.LOGFILENAME);
    case SetupKey::kFont:
      return printer().font_name ? Shown(*printer().font_name)
                                 : "(" + std::string(Printer::kStartFontName) + ")";
    case SetupKey::kFontSize:
      return printer().font_size ? FontSizeText(*printer().font_size)
                                 : "(" + FontSizeText(Printer::kStartFontSize) + ")";
    case SetupKey::kDateFormat:
      return or_else(rs_.DATEFORMAT, kDefaultDateFormat);
    case SetupKey::kTimeFormat:
      return or_else(rs_.TIMEFORMAT, kDefaultTimeFormat);
    case SetupKey::kPortraitLines:
      return std::to_string(rs_.PortraitLines);
    case SetupKey::kLandScapeLines:
      return std::to_string(rs_.LandScapeLines);
    case SetupKey::kPrinterName:
      return text(rs_.PRINTERNAME);
  }
  return {};
}

void DefinitionCheck::WriteSummary(std::ostream& out) const {
  WriteCounts(out);
  if (cannot_read_) return;
  std::ostringstream s;
  if (stop_error_ != 0)
    s << "HX_RPT stops reading this file with error " << stop_error_
      << "; below is what it holds at that moment, and no report is produced.\n";

  s << "\nSections:\n";
  if (sections_.empty()) s << "  none: HX_RPT runs with its defaults\n";
  for (const SectionSeen& sec : sections_) {
    s << "  line " << std::left << std::setw(6) << sec.line << std::setw(16)
      << Bracketed(sec.section);
    if (sec.section == Section::kHeader || sec.section == Section::kReport) {
      if (!sec.end) {
        s << "(stopped)";
      } else if (*sec.end == BlockEnd::kMarker) {
        s << "ends at [HEADER_END], line " << sec.end_line;
      } else if (*sec.end == BlockEnd::kFull) {
        s << "full, ends at line " << sec.end_line;
      } else {
        s << "runs to the end of the file";
      }
    }
    s << '\n';
  }

  s << "\nSettings in force at the end:\n";
  for (const SetupKeyEntry& entry : kSetupKeys) {
    auto it = setting_lines_.find(entry.key);
    s << "  " << std::left << std::setw(16) << entry.name << std::setw(24) << InForce(entry.key)
      << (it == setting_lines_.end() ? std::string("(not set)") : AtLine(it->second)) << '\n';
  }

  s << "\nControllers (none is opened by the check):\n";
  for (size_t slot = 1; slot <= 5; ++slot) {
    s << "  " << slot << "  ";
    if (controller_lines_[slot] == 0) {
      s << "-\n";
      continue;
    }
    s << std::left << std::setw(24) << Quoted(rs_.ControllerName[slot])
      << AtLine(controller_lines_[slot]) << '\n';
  }

  int defined = 0;
  for (const TagSeen& seen : tags_) defined += seen.lines.empty() ? 0 : 1;
  s << "\nTags (" << defined << " defined; HX_RPT reads slots 0 to " << rs_.LastTag << "):\n";
  if (defined > 0) {
    s << "  tag  line  type kind      ctrl  command                                  display"
         "                  used in\n";
  }
  for (size_t i = 0; i < tags_.size(); ++i) {
    const TagSeen& seen = tags_[i];
    if (seen.lines.empty()) continue;
    const Tag& t = rs_.TagTable[i];
    std::string display;
    if (t.TagKind == kKindText) {
      display = "width " + std::to_string(t.TagDigits);
      if (!t.TagFalseText.empty()) display += ", empty: " + Shown(t.TagFalseText);
    } else if (t.TagKind != kKindUndefined) {
      if (!t.TagFormat.empty()) {
        display = t.TagFormat;
      } else if (t.TagTrueText.empty() && t.TagFalseText.empty() &&
                 (t.TagDigits > 0 || t.TagDecimals > 0)) {
        display = "general form";
      }
      if (!t.TagTrueText.empty() || !t.TagFalseText.empty()) {
        if (!display.empty()) display += " ";
        display += "ON " + Shown(t.TagTrueText) + " / OFF " + Shown(t.TagFalseText);
      }
    }
    std::string uses;
    for (const std::string& u : tag_uses_[i]) uses += (uses.empty() ? "" : " ") + u;
    s << "  " << std::right << std::setw(3) << i << "  " << std::setw(4) << seen.lines.back()
      << "  " << std::left << std::setw(4) << (seen.type.empty() ? "-" : seen.type) << " "
      << std::setw(9) << KindName(t.TagKind) << " " << std::setw(5) << t.TagController << " "
      << std::setw(40) << ("\"" + Shown(t.TagCommand) + "\"") << " " << std::setw(24)
      << (display.empty() ? "-" : display) << " " << (uses.empty() ? "-" : uses) << '\n';
  }
  // Columns are padded for the eye; no line ends in blanks.
  std::string summary = s.str();
  for (size_t at = summary.find(" \n"); at != std::string::npos; at = summary.find(" \n")) {
    const size_t from = summary.find_last_not_of(' ', at);
    summary.erase(from + 1, at - from);
  }
  out << Utf8FromProgramText(summary, rs_.platform.code_page);
}

}  // namespace hx
