#include "check/template_fields.h"

#include <tuple>

#include "base/report_state.h"
#include "base/run_error.h"
#include "definition/text_fields.h"

namespace hx {

std::vector<TemplateField> TemplateFields(const std::string& line) {
  std::vector<TemplateField> fields;
  bool open = false;
  for (size_t at = 0; at < line.size(); ++at) {
    const char c = line[at];
    if (open && IsBlank(c)) {
      open = false;
    } else if (open) {
      fields.back().code += c;
    } else if (c == '\\') {
      open = true;
      fields.push_back({static_cast<int>(at) + 1, {}});
    }
  }
  return fields;
}

FieldMeaning MeaningOf(const std::string& code) {
  if (IsNum(code)) {
    try {
      const int16_t n = NumericValue16(code);
      // The renderer takes the display text from the tag table's slot n.
      constexpr size_t kSlots = std::tuple_size_v<decltype(ReportState::TagTable)>;
      if (n < 0 || static_cast<size_t>(n) >= kSlots) return {FieldKind::kFails, n, err::kSubscript};
      return {FieldKind::kTag, n, 0};
    } catch (const RunError& e) {
      return {FieldKind::kFails, -1, e.number()};
    }
  }
  const std::string upper = UpperCase(code);
  if (upper == "D") return {FieldKind::kDate};
  if (upper == "T") return {FieldKind::kTime};
  if (upper == "F") return {FieldKind::kPageBreak};
  return {};
}

int32_t LineFailure(const std::string& line) {
  if (line.find('\\') == std::string::npos) return 0;
  try {
    // Columns run one past the line's end, in 16 bits.
    Add16(Length16(line), 1);
  } catch (const RunError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace hx
