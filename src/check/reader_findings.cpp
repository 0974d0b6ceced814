// DefinitionCheck: what the reader tells as it reads, line by line, about
// the file's sections, its settings, its controllers and its blocks.

#include "check/definition_check.h"

#include <algorithm>

#include "base/code_page.h"
#include "base/run_error.h"
#include "base/text.h"
#include "check/finding_text.h"
#include "check/shown_text.h"
#include "definition/definition_reader.h"
#include "definition/file_text.h"
#include "definition/setup_keys.h"
#include "platform/platform.h"
#include "report/date_time_format.h"
#include "run/report_error.h"

namespace hx {
namespace {

// "sections are read in the order SETUP, CONTROLLERS, ...", as the reader tries them.
std::string SectionOrder() {
  std::string order = "sections are read in the order";
  for (Section s : kSections)
    order += (s == kSections[0] ? " " : ", ") + std::string(SectionName(s));
  return order;
}

// A key as the file's reference writes it; one not in the table as it is.
std::string KeyShown(const std::string& key) {
  const std::optional<SetupKey> known = FindSetupKey(key);
  return known ? std::string(SetupKeyName(*known)) : key;
}

}  // namespace

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

void DefinitionCheck::TextFound(const FileText& text) {
  encoding_ = text.encoding;
  if (text.nul.line > 0) {
    Add(text.nul.line, Severity::kError,
        "column " + std::to_string(text.nul.column) +
            " holds a NUL character, which no text file has (a file saved in UTF-16 needs its "
            "byte order mark); HX_RPT refuses the file (" +
            ErrorIn(err::kBadFileMode, label::kFormLoad) + ") and produces no report");
  }
  if (text.controls > 0 && text.nul.line == 0) {
    Add(text.first_control.line, Severity::kWarning,
        "column " + std::to_string(text.first_control.column) + " holds the control character " +
            CodePoint(static_cast<unsigned char>(text.first_control_character)) +
            ", which text files do not hold (" + std::to_string(text.controls) +
            " in the file, the first here): is this the definition file?  HX_RPT reads it all "
            "the same, taking such a character for a blank between fields");
  }
  if (text.AlmostUtf8()) {
    Add(text.first_not_utf8.line, Severity::kWarning,
        "column " + std::to_string(text.first_not_utf8.column) +
            " holds a byte that is not UTF-8, although " +
            Lines(static_cast<int>(text.utf8_sequences), "character", "characters") +
            " of the file are UTF-8 of more than one byte; HX_RPT reads the whole file byte "
            "for byte in " +
            std::string(rs_.platform.code_page.name()) +
            ", so each of those characters is two or more characters in the report and in the "
            "names it sends; saved as UTF-8 throughout, the file is read as UTF-8");
  }
}

void DefinitionCheck::CharacterLost(int line, char32_t character, LostIn in) {
  const std::string code = CodePoint(character);
  const std::string page(rs_.platform.code_page.name());
  if (in == LostIn::kText) {
    return Add(line, Severity::kWarning,
               "the character " + code + " is not in " + page +
                   ", HX_RPT's code page on this system; it shows as '?'");
  }
  const bool tag = name_owner_.starts_with("tag");
  const std::string what = in == LostIn::kTableIndex ? "the table index" : "the name";
  Add(line, Severity::kError,
      name_owner_ + ": " + what + " holds the character " + code + ", which " + page +
          " lacks; HX_RPT never sends " + what + " altered, so " +
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

}  // namespace hx
