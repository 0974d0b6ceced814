// DefinitionCheck: the lines of the header block and the report template,
// field by field, as the renderer will meet them.

#include "check/definition_check.h"

#include <algorithm>

#include "base/run_error.h"
#include "check/field_overlap.h"
#include "check/finding_text.h"
#include "check/shown_text.h"
#include "definition/definition_reader.h"
#include "report/date_time_format.h"
#include "report/template_fields.h"
#include "run/report_error.h"

namespace hx {

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

}  // namespace hx
