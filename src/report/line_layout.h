// How a template line is laid out: each field's text starts at its own
// column, or right after the text before it when that reaches further, so
// that nothing already laid is overwritten; a tag field is filled out with
// blanks to the end of its span, so that a short value never lets the text
// after the field slide left; the template's own text keeps its column and
// is dropped where a field's text already stands.  The renderer fills a line
// this way, and HX_CHECK lays out a line with each field at its widest to
// tell what a value covers.
//
// Thread-compatible: pure functions.

#ifndef HX_REPORT_LINE_LAYOUT_H_
#define HX_REPORT_LINE_LAYOUT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "report/template_fields.h"

namespace hx {

// A template line laid out with given field texts.
struct LineLayout {
  std::string line;  // as the renderer emits it
  // The column where each field's text starts; 0 for a field without text.
  std::vector<int> starts;
  // Template text a field's text covers: columns first to last of the
  // template, with no blank at either end.
  struct Covered {
    size_t by;  // index of the field whose text covers it
    int first, last;
  };
  std::vector<Covered> covered;
  // A field whose own column lies under the text of an earlier one.
  struct Inside {
    size_t field, by;
    int printed_from;  // the column where its text starts instead
  };
  std::vector<Inside> inside;
};

// Lays out line, whose fields are fields, with texts[k] as the text of
// field k (empty for a field that shows nothing: a page break, an unknown
// code).  None of the fields may fail (FieldKind::kFails): such a line is
// not printed at all.
LineLayout LayOutLine(const std::string& line, const std::vector<TemplateField>& fields,
                      const std::vector<std::string>& texts);

}  // namespace hx

#endif  // HX_REPORT_LINE_LAYOUT_H_
