// The fields of a header or report line: a backslash opens a field at its
// own column, the field's code runs to the next blank (or the end of the
// line), and the code decides what the field shows.  The renderer lays the
// fields out by them; HX_CHECK uses them to tell which tags a template shows
// and which fields show nothing or stop the report.
//
// Thread-compatible: plain functions.

#ifndef HX_REPORT_TEMPLATE_FIELDS_H_
#define HX_REPORT_TEMPLATE_FIELDS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

struct TemplateField {
  int column = 0;    // 1-based column of the backslash
  int end = 0;       // column of the blank that closed it, one past the line at its end
  std::string code;  // what follows it up to the next blank or the end of the line
};

// The fields of line in order; none when it holds no backslash.  Columns are
// 16-bit: a line with a backslash that is too long for them raises RunError 6.
std::vector<TemplateField> TemplateFields(const std::string& line);

enum class FieldKind {
  kTag,        // a tag's display text
  kDate,       // \D
  kTime,       // \T
  kPageBreak,  // \F
  kNothing,    // any other code, the empty one included
  kFails,      // a tag number outside 0 to 400 or beyond 16 bits: ends the block
};

struct FieldMeaning {
  FieldKind kind = FieldKind::kNothing;
  int16_t tag = -1;   // for kTag
  int32_t error = 0;  // for kFails: the run-time error number
};

FieldMeaning MeaningOf(const std::string& code);

// The run-time error TemplateFields raises for line, 0 when none.
int32_t LineFailure(const std::string& line);

}  // namespace hx

#endif  // HX_REPORT_TEMPLATE_FIELDS_H_
