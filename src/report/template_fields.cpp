#include "report/template_fields.h"

#include <tuple>

#include "base/run_error.h"
#include "base/text.h"
#include "run/report_state.h"

namespace hx {

std::vector<TemplateField> TemplateFields(const std::string& line) {
  std::vector<TemplateField> fields;
  if (line.find('\\') == std::string::npos) return fields;
  const int16_t length = Length16(line);
  const int16_t past_end = Add16(length, 1);  // where a field still open at the end closes
  bool open = false;
  for (int j = 1; j <= length; ++j) {
    const char c = line[static_cast<size_t>(j - 1)];
    if (open && IsBlank(c)) {
      open = false;
      fields.back().end = j;
    } else if (open) {
      fields.back().code += c;
    } else if (c == '\\') {
      open = true;
      fields.push_back({j, past_end, {}});
    }
  }
  return fields;
}

FieldMeaning MeaningOf(const std::string& code) {
  if (IsNum(code)) {
    try {
      const int16_t n = NumericValue16(code);
      // The renderer takes the display text from the tag table's slot n; a
      // code that starts with a digit is never negative.
      constexpr size_t kSlots = std::tuple_size_v<decltype(ReportState::TagTable)>;
      if (static_cast<size_t>(n) >= kSlots) return {FieldKind::kFails, n, err::kSubscript};
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
  try {
    TemplateFields(line);
  } catch (const RunError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace hx
