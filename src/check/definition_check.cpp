#include "check/definition_check.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <utility>

#include "base/code_page.h"
#include "base/run_error.h"
#include "check/field_overlap.h"
#include "check/shown_text.h"
#include "comm/controller_link.h"
#include "definition/definition_reader.h"
#include "definition/setup_keys.h"
#include "definition/tag_line.h"
#include "definition/text_fields.h"
#include "output/line_print.h"
#include "platform/platform.h"
#include "report/date_time_format.h"
#include "report/template_fields.h"
#include "ui/report_error.h"

namespace hx {
namespace {

// "sections are read in the order SETUP, CONTROLLERS, ...", as the reader tries them.
std::string SectionOrder() {
  std::string order = "sections are read in the order";
  for (Section s : kSections)
    order += (s == kSections[0] ? " " : ", ") + std::string(SectionName(s));
  return order;
}

// A font size as the summary and the findings show it: 12, 10.5.
std::string FontSizeText(double points) {
  std::ostringstream text;
  text << points;
  return text.str();
}

std::string Trimmed(std::string text) {
  StripLead(text);
  return StripTrail(text);
}

std::string Bracketed(Section s) {
  return "[" + std::string(SectionName(s)) + "]";
}

// "its 3 lines are passed over", "its 1 line is passed over"
std::string Lines(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string AtLine(int line) {
  return "line " + std::to_string(line);
}

// "error 6, Overflow, in \"FormLoad\"": a failure as HX_RPT reports it.
std::string ErrorIn(int32_t error, std::string_view label) {
  return "error " + std::to_string(error) + ", " + std::string(ErrorDescription(error)) +
         ", in \"" + std::string(label) + "\"";
}

std::string StopsReading(int32_t error) {
  return "HX_RPT stops reading here (" + ErrorIn(error, label::kFormLoad) +
         ") and produces no report";
}

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

const char* FieldName(int field) {
  constexpr const char* kNames[] = {"",
                                    "index",
                                    "controller",
                                    "type",
                                    "name",
                                    "digits or ON text",
                                    "decimals or OFF text",
                                    "table index"};
  return field >= 1 && field <= 7 ? kNames[field] : "";
}

const char* SeverityName(Severity s) {
  switch (s) {
    case Severity::kNote:
      return "note";
    case Severity::kWarning:
      return "warning";
    default:
      return "error";
  }
}

// Keys as the file's reference writes them, in the summary and the findings.
std::string KeyShown(const std::string& key) {
  const std::optional<SetupKey> known = FindSetupKey(key);
  return known ? std::string(SetupKeyName(*known)) : key;
}

// "PRINTIT=TRUE"
std::string Assignment(SetupKey key, std::string_view value) {
  return std::string(SetupKeyName(key)) + "=" + std::string(value);
}

}  // namespace

DefinitionCheck::DefinitionCheck(std::string file_name, const CodePage& code_page)
    : file_name_(std::move(file_name)), platform_(code_page) {}

void DefinitionCheck::Read(std::istream& in) {
  // As HX_RPT's start-up prepares the controller link before it reads.
  InitBuffers(rs_);
  try {
    ReadDefinition(rs_, in, this);
  } catch (const RunError& e) {
    stop_error_ = e.number();
  }
  CheckAfterReading();
}

void DefinitionCheck::CannotRead(const std::string& why) {
  cannot_read_ = true;
  Add(0, Severity::kError,
      why + "; HX_RPT reports this under \"" + std::string(label::kFormLoad) +
          "\" and produces no report");
}

void DefinitionCheck::Add(int line, Severity severity, std::string text) {
  diagnostics_.push_back({line, severity, std::move(text)});
}

void DefinitionCheck::CollectPassedOver(int line, Severity severity,
                                        std::function<std::string(int)> text, int skip_line) {
  Add(line, severity, {});
  groups_.push_back({diagnostics_.size() - 1, 0, skip_line, std::move(text)});
  collecting_ = groups_.size() - 1;
  after_marker_ = false;
}

// ---- what the reader tells -------------------------------------------------

void DefinitionCheck::LineRead(int line, LineEnd end) {
  lines_ = line;
  EndCount* count = end == LineEnd::kLf ? &lf_alone_ : end == LineEnd::kCr ? &cr_alone_ : nullptr;
  if (count == nullptr) return;
  if (count->count++ == 0) count->first = line;
}

void DefinitionCheck::PassedOver(int line, const std::string& text) {
  if (Trimmed(text).empty()) return;  // blank lines carry nothing to lose
  if (after_marker_) {
    CollectPassedOver(line, Severity::kWarning, [](int n) {
      return "text after [HEADER_END] lies outside any section; " +
             Lines(n, "line is", "lines are") + " passed over up to the next section header";
    });
  }
  if (!collecting_) return;  // notes before the first section
  PassedGroup& group = groups_[*collecting_];
  if (line != group.skip_line) ++group.lines;
}

void DefinitionCheck::SectionRead(int line, Section section, const std::string& header) {
  collecting_.reset();
  after_marker_ = false;
  if (section == Section::kHeader &&
      std::any_of(sections_.begin(), sections_.end(),
                  [](const SectionSeen& s) { return s.section == Section::kHeader; })) {
    Add(line, Severity::kWarning,
        "a second [HEADER_BEGIN]; its lines replace the header block's, and only they are "
        "printed");
  }
  sections_.push_back({line, section, header, 0, std::nullopt});
  const std::string expected = Bracketed(section);
  if (!UpperCase(header).starts_with(expected)) {
    Add(line, Severity::kWarning,
        Quoted(Trimmed(header)) + " is read as " + expected + ": only the " +
            std::to_string(SectionName(section).size()) +
            " characters after '[' count; write it as " + expected);
  }
  if (section == Section::kHeader) header_first_line_ = line + 1;
  if (section == Section::kReport) report_first_line_ = line + 1;
}

void DefinitionCheck::HeaderNotRead(int line, const std::string& header,
                                    std::optional<Section> named, std::optional<Section> ended) {
  std::string head = Quoted(Trimmed(header));
  std::string why;
  if (named && ended) {
    head = Bracketed(*named) + (named == ended ? " right after " : " after ") + Bracketed(*ended);
    if (Trimmed(header) != Bracketed(*named)) head += " (" + Quoted(Trimmed(header)) + ")";
    head += " is not recognised";
    why = std::string(" (") + SectionOrder() + ")";
  } else if (UpperCase(header).starts_with("[" + std::string(kHeaderEndName))) {
    head += " ends no header block here";
    if (ended == Section::kHeader) head += " (the block was full before it)";
  } else if (named) {
    head += " is not recognised";
  } else {
    head += " names no section";
    why = " (the sections are [SETUP], [CONTROLLERS], [TAGS], [HEADER_BEGIN], [REPORT])";
  }
  CollectPassedOver(line, Severity::kWarning, [head, why](int n) {
    return head + "; " +
           (n == 0 ? std::string("it is") : "its " + Lines(n, "line is", "lines are")) +
           " passed over" + why;
  });
}

void DefinitionCheck::IndentedHeader(int line, Section body, const std::string& text) {
  indented_line_ = line;
  Add(line, Severity::kWarning,
      Quoted(Trimmed(text)) + " is indented, so inside " + Bracketed(body) +
          " it is an ordinary line, not a section header; it is passed over and the lines after "
          "it are read as " +
          Bracketed(body) + " lines; a section header starts in the first column");
}

void DefinitionCheck::Setting(int line, const std::string& key, const std::string& value,
                              SettingOutcome outcome) {
  if (line == indented_line_) return;
  if (outcome == SettingOutcome::kNoEquals)
    return Add(line, Severity::kWarning, "no '=' in this [SETUP] line; it is passed over");
  const std::optional<SetupKey> known = FindSetupKey(key);
  if (!known) {
    if (key.empty())
      return Add(line, Severity::kWarning, "no key before '='; the line is passed over");
    std::string keys;
    for (const SetupKeyEntry& entry : kSetupKeys)
      keys += (keys.empty() ? "" : ", ") + std::string(entry.name);
    return Add(line, Severity::kWarning,
               "unknown key " + Quoted(key) + "; the line is passed over (keys: " + keys + ")");
  }
  const std::string shown = Assignment(*known, Shown(value));
  auto set_at = [&](SetupKey k) -> std::string {
    auto it = setting_lines_.find(k);
    return it == setting_lines_.end() ? std::string() : AtLine(it->second);
  };
  switch (outcome) {
    case SettingOutcome::kApplied:
    case SettingOutcome::kFollowDefault:
      // A switch is set by its first TRUE; later ones change nothing.
      if (IsSwitch(*known))
        setting_lines_.try_emplace(*known, line);
      else
        setting_lines_[*known] = line;
      return;
    case SettingOutcome::kNoEquals:
    case SettingOutcome::kUnknownKey:
      return;  // told above
    case SettingOutcome::kNotTrue: {
      const bool on = *known == SetupKey::kPrintit  ? rs_.PRINTIT
                      : *known == SetupKey::kShowit ? rs_.SHOWIT
                                                    : rs_.LOGIT;
      const std::string on_text(kSwitchOn);
      if (on) {
        return Add(line, Severity::kWarning,
                   shown + " cannot switch " + key + " off; it stays " + on_text + " from " +
                       set_at(*known));
      }
      // Saying FALSE where it is off anyway is how a file says "not this one".
      if (UpperCase(value) == "FALSE") return;
      return Add(line, Severity::kWarning,
                 shown + " is not " + on_text + "; " + key + " stays off (only " + on_text +
                     ", in any letter case, switches it on)");
    }
    case SettingOutcome::kTooShort: {
      const bool date = *known == SetupKey::kDateFormat;
      const size_t shortest = date ? kMinDateFormat : kMinTimeFormat;
      const std::string& in_force = date ? rs_.DATEFORMAT : rs_.TIMEFORMAT;
      return Add(
          line, Severity::kWarning,
          shown + " is " + std::to_string(value.size()) + " characters long, shorter than " +
              std::to_string(shortest) + "; it is passed over and " +
              (in_force.empty()
                   ? std::string("the default ") +
                         std::string(date ? kDefaultDateFormat : kDefaultTimeFormat) + " is used"
                   : Quoted(in_force) + " from " + set_at(*known) + " stays"));
    }
    case SettingOutcome::kNotNumeric:
      if (*known == SetupKey::kFontSize) {
        setting_lines_[*known] = line;
        return Add(line, Severity::kWarning,
                   shown +
                       " is not a number (a number starts with a digit); the font size "
                       "becomes " +
                       FontSizeText(Printer::kStartFontSize));
      }
      return Add(line, Severity::kWarning,
                 shown + " is not a number (a number starts with a digit); " +
                     std::string(SetupKeyName(*known)) + " stays " +
                     std::to_string(*known == SetupKey::kLandScapeLines ? rs_.LandScapeLines
                                                                        : rs_.PortraitLines));
    case SettingOutcome::kNeedsPrintit: {
      const std::string printit = Assignment(SetupKey::kPrintit, kSwitchOn);
      return Add(line, Severity::kWarning,
                 shown + " before " + printit +
                     " does nothing; the printer font is set only after " + printit);
    }
    case SettingOutcome::kRecordedOnly:
      setting_lines_[*known] = line;
      if (UpperCase(value) == UpperCase(kFollowDefaultPrinter)) {
        return Add(line, Severity::kWarning,
                   shown + " is not '" + std::string(kFollowDefaultPrinter) +
                       "' (letter case counts): it is recorded as a name, and the report goes to "
                       "the system's current printer");
      }
      return Add(line, Severity::kWarning,
                 shown +
                     " is recorded only and never chooses a printer; the report goes to the "
                     "system's current printer (" +
                     Assignment(SetupKey::kPrinterName, kFollowDefaultPrinter) +
                     " makes it follow the system's default printer)");
  }
}

void DefinitionCheck::Controller(int line, const std::string& key, int slot,
                                 const std::string& name) {
  name_owner_ = "controller " + std::to_string(slot);
  if (line == indented_line_) return;
  if (slot == 0) {
    if (key.empty()) {
      return Add(line, Severity::kWarning,
                 "no controller number before '='; the line is passed over (write 1=NAME to "
                 "5=NAME)");
    }
    return Add(
        line, Severity::kWarning,
        "controller key " + Quoted(key) + " is not one of 1, 2, 3, 4, 5; the line is passed over");
  }
  const size_t index = static_cast<size_t>(slot);
  if (controller_lines_[index] != 0) {
    Add(line, Severity::kWarning,
        "controller " + std::to_string(slot) + " is given again; " + Quoted(name) + " replaces " +
            Quoted(rs_.ControllerName[index]) + " from " + AtLine(controller_lines_[index]) +
            ", which is opened all the same");
  }
  controller_lines_[index] = line;
  if (name.empty()) {
    Add(line, Severity::kWarning,
        "controller " + std::to_string(slot) +
            " has an empty name (the name starts right after '=' and ends at the first space); "
            "no controller can be opened by it");
  } else if (std::any_of(name.begin(), name.end(), IsBlank)) {
    Add(line, Severity::kWarning,
        "the name of controller " + std::to_string(slot) + ", " + Quoted(name) +
            ", holds a tab or control character; only a space ends a name, so HX_RPT asks for "
            "a controller of exactly that name");
  }
}

void DefinitionCheck::TagLine(int line, const std::string& text, const TagLineReading& reading) {
  const int previous_line = last_tag_line_;
  const std::string previous_text = std::exchange(last_tag_text_, text);
  last_tag_line_ = line;
  name_owner_ = "tag " + std::to_string(reading.index);
  if (line == indented_line_) return;

  // The tokenizer carries on in a line equal to the one it cut up last.
  scratch_.param = ParamState{};
  const std::string fresh = GetNextParam(scratch_, text);
  if (fresh != reading.first || scratch_.param.position != reading.first_end) {
    Add(line, Severity::kWarning,
        "this tag line is the same as the one before it (" + AtLine(previous_line) +
            "); HX_RPT goes on where it stopped reading that one, so " +
            (reading.first.empty() ? std::string("it defines nothing")
                                   : "it is read from " + Quoted(reading.first) + " on") +
            "; make the lines differ, for example by a trailing comment field");
    if (reading.first.empty()) return;
  }

  if (reading.index < 0) {
    // A line whose first field is not a number is a comment; a sign or a
    // point in front of digits is a number to a person, not to HX_RPT.
    const std::string& first = reading.first;
    if (first.size() > 1 && (first[0] == '-' || first[0] == '+' || first[0] == '.') &&
        IsNum(first.substr(1))) {
      Add(line, Severity::kWarning,
          "tag index " + Quoted(first) +
              " does not start with a digit, so the line is taken as a comment and passed over");
    }
    if (reading.error != 0) {
      explained_stop_line_ = line;
      Add(line, Severity::kError,
          "tag index " + Quoted(reading.text) + " does not fit a 16-bit number; " +
              StopsReading(reading.error));
    }
    return;
  }

  const std::string tag = "tag " + std::to_string(reading.index);
  if (reading.error != 0) {
    explained_stop_line_ = line;
    if (reading.field == 1) {
      return Add(line, Severity::kError,
                 "tag index " + std::to_string(reading.index) + " is outside 0 to 400; " +
                     StopsReading(reading.error));
    }
    return Add(line, Severity::kError,
               tag + ": field " + std::to_string(reading.field) + " (" + FieldName(reading.field) +
                   ") " + Quoted(reading.text) + " does not fit a 16-bit number; " +
                   StopsReading(reading.error));
  }

  TagSeen& seen = tags_[static_cast<size_t>(reading.index)];
  if (!seen.lines.empty()) {
    Add(line, Severity::kWarning,
        tag + " is defined again (first at " + AtLine(seen.lines.front()) +
            "); this line overwrites the fields it reaches, the others keep their earlier "
            "values");
  }
  seen.lines.push_back(line);
  if (!reading.type.empty()) seen.type = UpperCase(reading.type);
  CheckTagLineEnd(line, text, reading);
}

void DefinitionCheck::CheckTagLineEnd(int line, const std::string& text,
                                      const TagLineReading& reading) {
  const Tag& t = rs_.TagTable[static_cast<size_t>(reading.index)];
  const std::string tag = "tag " + std::to_string(reading.index);
  const std::string got = reading.text.empty()
                              ? "the line ends before field " + std::to_string(reading.field) +
                                    " (" + FieldName(reading.field) + ")"
                              : "field " + std::to_string(reading.field) + " (" +
                                    FieldName(reading.field) + ") " + Quoted(reading.text);
  if (reading.complete) {
    if (reading.table && !IsNum(reading.text)) {
      Add(line, reading.text.empty() ? Severity::kNote : Severity::kWarning,
          tag + ": " +
              (reading.text.empty() ? std::string("no table index (field 7)")
                                    : got + " is not a number") +
              "; table element 0 is read");
    }
    // What follows the last field a type uses is ignored.
    scratch_.param = rs_.param;
    const std::string extra = GetNextParam(scratch_, text);
    if (!extra.empty()) {
      Add(line, Severity::kWarning,
          tag + ": " + Quoted(extra) + " and what follows it is ignored (" +
              UpperCase(reading.type) + " uses " + (reading.table ? "7" : "6") + " fields)");
    }
    return;
  }
  switch (reading.field) {
    case 2:
      return Add(line, Severity::kWarning,
                 tag + ": " + got + (reading.text.empty() ? "" : " is not a number") +
                     "; the tag is left undefined and shows no value");
    case 3:
      return Add(line, Severity::kWarning,
                 tag + ": " + got +
                     (reading.text.empty() ? "" : " is not a type code (" + TagTypeCodes() + ")") +
                     "; the tag is left undefined and shows no value");
    case 4:
      return Add(
          line, Severity::kWarning,
          tag + ": " +
              (reading.text.empty() ? got
                                    : "name " + Quoted(reading.text) + " starts with a digit") +
              "; the tag has no query command" +
              (t.TagCommand.empty() ? "" : " of its own (it keeps its earlier one)"));
    default:
      break;
  }
  // Field 5 or 6 is missing: the tag has its command, but not all of its display.
  std::string effect;
  Severity severity = Severity::kWarning;
  if (reading.table) {
    effect = "the query command gets no table index";
  } else if (reading.field == 5) {
    effect = t.TagKind == kKindText ? "the text has no width"
                                    : "the tag has neither digits nor ON/OFF texts and shows no "
                                      "value";
  } else if (t.TagKind == kKindFloat && !t.TagTrueText.empty()) {
    effect = "a zero value shows as an empty text";
  } else if (t.TagKind == kKindFloat) {
    effect = "a float without its decimals field is shown in general form";
  } else if (!t.TagTrueText.empty()) {
    effect = "a zero value shows as an empty text";
  } else if (t.TagKind == kKindText) {
    severity = Severity::kNote;
    effect = "an empty reply shows as nothing";
  } else {
    severity = Severity::kNote;
    effect = "an integer needs no decimals";
  }
  Add(line, severity, tag + ": " + got + "; " + effect);
}

void DefinitionCheck::BlockEnded(int line, Section block, BlockEnd how) {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (it->section != block) continue;
    it->end_line = line;
    it->end = how;
    break;
  }
  if (how == BlockEnd::kMarker) {
    after_marker_ = true;
    collecting_.reset();
    return;
  }
  if (how == BlockEnd::kFull) {
    const bool header = block == Section::kHeader;
    const std::string head =
        header ? "the header block holds at most " + std::to_string(kMaxHeaderLines) +
                     " lines and has no [HEADER_END] before this line; this line ends it, is not "
                     "stored and is tried as [REPORT]"
               : "the report template holds at most " + std::to_string(kMaxReportLines) +
                     " lines; this line ends it and is not stored";
    CollectPassedOver(
        line, Severity::kWarning,
        [head](int n) {
          return n == 0 ? head
                        : head + "; " + Lines(n, "line after it is", "lines after it are") +
                              " passed over up to the next section header";
        },
        line);
    return;
  }
  if (block == Section::kHeader) {
    const int at = header_first_line_ > 0 ? header_first_line_ - 1 : line;
    Add(at, Severity::kWarning,
        "[HEADER_BEGIN] has no [HEADER_END]; the header block runs to the end of the file");
  }
}

void DefinitionCheck::CharacterLost(int line, char32_t character, bool in_name) {
  std::ostringstream code;
  code << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
       << static_cast<uint32_t>(character);
  const std::string page(rs_.platform.code_page.name());
  if (!in_name) {
    return Add(line, Severity::kWarning,
               "the character " + code.str() + " is not in " + page +
                   ", HX_RPT's code page on this system; it shows as '?'");
  }
  const bool tag = name_owner_.starts_with("tag");
  Add(line, Severity::kError,
      name_owner_ + ": the name holds the character " + code.str() + ", which " + page +
          " lacks; HX_RPT never sends the name altered, so " +
          (tag ? "the tag is not queried and shows as '?'" : "the controller is not opened"));
}

void DefinitionCheck::Stopped(int line, const std::string& text, int32_t error, bool long_line) {
  // A setting told before its effect took none.
  std::erase_if(setting_lines_, [line](const auto& entry) { return entry.second == line; });
  if (line == explained_stop_line_) return;
  if (long_line) {
    return Add(line, Severity::kError,
               "the line is " + std::to_string(text.size()) +
                   " characters long; lines of [SETUP], " +
                   "[CONTROLLERS] and [TAGS] hold at most " + std::to_string(kMaxSectionLine) +
                   "; " + StopsReading(error));
  }
  std::string what = Quoted(Trimmed(text));
  const size_t equals = text.find('=');
  if (equals != std::string::npos) {
    std::string key = UpperCase(Trimmed(text.substr(0, equals)));
    what = KeyShown(key) + "=" + Shown(Trimmed(text.substr(equals + 1)));
  }
  Add(line, Severity::kError,
      what + (error == err::kOverflow ? " does not fit a 16-bit number" : " fails") + "; " +
          StopsReading(error));
}

// ---- after the reading ---------------------------------------------------------

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
  if (rs_.DefinitionUtf8) {
    Add(1, Severity::kNote,
        "the file is read as UTF-8: its text is turned into " +
            std::string(rs_.platform.code_page.name()) +
            ", a character that code page lacks becomes '?', and the log is written in UTF-8");
  }
  if (stop_error_ != 0) return;  // HX_RPT would produce no report at all

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

void DefinitionCheck::CheckTemplate(Section block, int first_line, const std::string* lines,
                                    int16_t count) {
  const bool header = block == Section::kHeader;
  const std::string kind = header ? "header line " : "report line ";
  const std::string block_name = header ? "header block" : "report template";
  for (int k = 1; k <= count; ++k) {
    const std::string& text = lines[k];
    const int line = first_line + k - 1;
    const std::string where = kind + std::to_string(k) + ": ";
    const std::string slot = (header ? "H" : "R") + std::to_string(k);

    if (text.starts_with('[')) {
      if (const std::optional<Section> named = NamedSection(text)) {
        Add(line, Severity::kWarning,
            where + Quoted(text) + " is " + block_name + " text, not a section header: " +
                (header ? "the header block has no [HEADER_END] before it"
                        : "[REPORT] runs to the end of the file"));
      }
    }
    auto stops_block = [&](int32_t error) {
      return "; HX_RPT stops printing the " + block_name + " here (" +
             ErrorIn(error, label::kSendRecv) +
             "): this line and the ones after it are not printed";
    };
    if (const int32_t error = LineFailure(text); error != 0) {
      Add(line, Severity::kError,
          where + "the line is " + std::to_string(text.size()) +
              " characters long, too long for a line with fields" + stops_block(error));
      continue;
    }
    const std::vector<TemplateField> fields = TemplateFields(text);
    bool fails = false;
    for (const TemplateField& field : fields) {
      const std::string shown = "field \\" + Shown(field.code);
      const FieldMeaning meaning = MeaningOf(field.code);
      switch (meaning.kind) {
        case FieldKind::kFails:
          fails = true;
          Add(line, Severity::kError,
              where + shown +
                  (meaning.error == err::kSubscript
                       ? " shows tag " + std::to_string(meaning.tag) + ", outside 0 to 400"
                       : " does not fit a 16-bit number") +
                  stops_block(meaning.error));
          break;
        case FieldKind::kNothing:
          Add(line, Severity::kWarning,
              where + (field.code.empty()
                           ? std::string("a '\\' with no code after it prints nothing, and the "
                                         "blank after it is not printed either")
                           : shown + " is not a field code (a tag number, D, T or F); it prints "
                                     "nothing"));
          break;
        case FieldKind::kTag: {
          const size_t n = static_cast<size_t>(meaning.tag);
          std::vector<std::string>& uses = tag_uses_[n];
          if (uses.empty() || uses.back() != slot) uses.push_back(slot);
          if (!std::all_of(field.code.begin(), field.code.end(),
                           [](char c) { return c >= '0' && c <= '9'; })) {
            Add(line, Severity::kNote,
                where + shown + " is read as tag " + std::to_string(meaning.tag));
          }
          if (tags_[n].lines.empty()) {
            Add(line, Severity::kWarning,
                where + shown + " shows tag " + std::to_string(meaning.tag) +
                    ", which no [TAGS] line defines; it prints as blanks");
          }
          break;
        }
        default:
          break;
      }
    }
    // A line with a failing field is not printed at all.
    if (fails) continue;
    for (std::string& overlap : FieldOverlaps(text, fields, WidestTexts(fields)))
      Add(line, Severity::kWarning, where + overlap);
  }
}

std::vector<std::string> DefinitionCheck::WidestTexts(const std::vector<TemplateField>& fields) {
  std::vector<std::string> texts;
  for (const TemplateField& field : fields) {
    const FieldMeaning meaning = MeaningOf(field.code);
    std::string text;
    if (meaning.kind == FieldKind::kTag) {
      const size_t n = static_cast<size_t>(meaning.tag);
      // A tag no line defines prints as blanks; it is told above.
      if (!tags_[n].lines.empty()) text = WidestTagText(rs_.TagTable[n]);
    } else if (meaning.kind == FieldKind::kDate) {
      if (!widest_date_)
        widest_date_ = WidestClockText(rs_.DATEFORMAT.empty() ? kDefaultDateFormat
                                                              : std::string_view(rs_.DATEFORMAT));
      text = *widest_date_;
    } else if (meaning.kind == FieldKind::kTime) {
      if (!widest_time_)
        widest_time_ = WidestClockText(rs_.TIMEFORMAT.empty() ? kDefaultTimeFormat
                                                              : std::string_view(rs_.TIMEFORMAT));
      text = *widest_time_;
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

// ---- results ---------------------------------------------------------------------

std::vector<Diagnostic> DefinitionCheck::Diagnostics() const {
  std::vector<Diagnostic> all = diagnostics_;
  for (const PassedGroup& group : groups_) all[group.diagnostic].text = group.text(group.lines);
  std::stable_sort(all.begin(), all.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return all;
}

int DefinitionCheck::ExitStatus() const {
  int status = 0;
  for (const Diagnostic& d : diagnostics_) {
    if (d.severity == Severity::kError) return 2;
    if (d.severity == Severity::kWarning) status = 1;
  }
  return status;
}

void DefinitionCheck::WriteDiagnostics(std::ostream& out) const {
  for (const Diagnostic& d : Diagnostics()) {
    // The file's name is the system's, as given; the findings are program text.
    std::string text = ":";
    if (d.line > 0) text += std::to_string(d.line) + ":";
    text += std::string(" ") + SeverityName(d.severity) + ": " + d.text;
    out << file_name_ << Utf8FromProgramText(text, rs_.platform.code_page) << '\n';
  }
}

void DefinitionCheck::WriteCounts(std::ostream& out) const {
  int counts[3] = {};
  for (const Diagnostic& d : diagnostics_) ++counts[static_cast<int>(d.severity)];
  out << file_name_ << ": " << Lines(lines_, "line", "lines") << "; "
      << Lines(counts[2], "error", "errors") << ", " << Lines(counts[1], "warning", "warnings")
      << ", " << Lines(counts[0], "note", "notes") << "\n";
  if (cannot_read_) return;
  out << "Read in " << rs_.platform.code_page.name() << ", HX_RPT's code page on this system"
      << (rs_.DefinitionUtf8 ? ", from UTF-8" : ", byte for byte") << ".\n";
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
