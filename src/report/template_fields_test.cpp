#include "report/template_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "base/run_error.h"

namespace hx {
namespace {

// The fields of a line in one comparable text: "column-end:code:meaning".
std::string Fields(const std::string& line) {
  std::string s;
  for (const TemplateField& f : TemplateFields(line)) {
    const FieldMeaning m = MeaningOf(f.code);
    s += (s.empty() ? "" : " ") + std::to_string(f.column) + "-" + std::to_string(f.end) + ":" +
         f.code + ":";
    switch (m.kind) {
      case FieldKind::kTag:
        s += "tag" + std::to_string(m.tag);
        break;
      case FieldKind::kDate:
        s += "date";
        break;
      case FieldKind::kTime:
        s += "time";
        break;
      case FieldKind::kPageBreak:
        s += "break";
        break;
      case FieldKind::kNothing:
        s += "nothing";
        break;
      case FieldKind::kFails:
        s += "error" + std::to_string(m.error);
        break;
    }
  }
  return s;
}

TEST(TemplateFieldsTest, FindsFieldsAsTheReportRendersThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"no fields at all", ""},
      {"Temp: \\12      degC", "7-10:12:tag12"},
      {"\\D\t\\t \\f", "1-3:D:date 4-6:t:time 7-9:f:break"},  // a tab closes a field too
      {"\\1\\2 x", "1-5:1\\2:tag1"},  // a backslash inside a code is part of it
      {"a \\ b \\", "3-4::nothing 7-8::nothing"},
      {"\\400.5 \\12X \\DATE \\F",
       "1-7:400.5:tag400 8-12:12X:tag12 13-18:DATE:nothing 19-21:F:break"},
      {"\\401 \\99999 \\0", "1-5:401:error9 6-12:99999:error6 13-15:0:tag0"},
  };
  for (const auto& [line, fields] : cases) EXPECT_EQ(Fields(line), fields) << line;
}

TEST(TemplateFieldsTest, OnlyALineWithFieldsNeeds16BitColumns) {
  EXPECT_EQ(LineFailure(std::string(40000, 'x')), 0);
  EXPECT_EQ(LineFailure("\\1" + std::string(32764, 'x')), 0);
  EXPECT_EQ(LineFailure("\\1" + std::string(32765, 'x')), err::kOverflow);
}

}  // namespace
}  // namespace hx
