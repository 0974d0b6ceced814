// DefinitionCheck: what the reader tells about each [TAGS] line, and what
// becomes of a tag whose line ends early or runs on.

#include "check/definition_check.h"

#include <string>
#include <utility>

#include "base/run_error.h"
#include "check/finding_text.h"
#include "check/shown_text.h"
#include "definition/tag_line.h"
#include "definition/text_fields.h"

namespace hx {
namespace {

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

}  // namespace

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
    // A name or index that lost a character is an error of its own
    // (CharacterLost).
    const bool lost = t.TagLostLine == line;
    if (reading.table && !IsNum(reading.text) && !lost) {
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

}  // namespace hx
