// HX_CHECK --preview against HX_RPT itself: the example's report as the
// preview lays it out before any controller is asked, and as the program
// writes it to its log on the simulated plant.

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

#include "report/template_fields.h"
#include "testing/test_files.h"
#include "tests/program_folder.h"

namespace hx::testing {
namespace {

std::vector<std::string> SplitAt(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size())
    lines.push_back(text.substr(from, at - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

// A report line laid over its template line: the template's own text as the
// line has it in the template's columns, and each field's stretch (from its
// backslash to the next template text) as <v> when it holds a value.  Equal
// shapes mean the same literal text in the same columns, and every value at
// its field's column.
std::string Shape(const std::string& t, const std::string& line) {
  auto piece = [&](int from, int to) {  // columns from to to - 1 of line
    if (static_cast<size_t>(from) > line.size()) return std::string();
    return line.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
  };
  const std::vector<TemplateField> fields = TemplateFields(t);
  if (fields.empty()) return line;
  std::string shape;
  int column = 1;
  for (const TemplateField& field : fields) {
    if (field.column < column) continue;  // inside the stretch before it
    shape += piece(column, field.column);
    // The stretch ends at the next template text or field.
    size_t next = static_cast<size_t>(field.end);
    while (next < t.size() && t[next] == ' ') ++next;
    const int end =
        next < t.size() ? static_cast<int>(next) + 1 : static_cast<int>(line.size()) + 1;
    const std::string value = piece(field.column, std::max(end, field.column));
    shape += value.find_first_not_of(' ') == std::string::npos ? "<>" : "<v>";
    column = std::max(end, field.column);
  }
  return shape + piece(column, static_cast<int>(line.size()) + 1);
}

TEST(PreviewTest, TheExampleIsLaidOutAsTheProgramPrintsIt) {
  ProgramFolder folder;
  std::string ini = ReadFile(SourceDir() + "/examples/HX_RPT.INI");
  // Without the window the program ends by itself once the report is done.
  ini.replace(ini.find("SHOWIT=TRUE"), 11, "SHOWIT=FALSE");
  folder.Write("HX_RPT.INI", ini);
  folder.Write("LUMOCOM.SIM", ReadFile(SourceDir() + "/examples/LUMOCOM.SIM"));
  const ProgramRun run = folder.Run();
  ASSERT_EQ(run.exit_status, 0) << run.err;
  const std::vector<std::string> printed = SplitAt(folder.Read("HX_RPT.LOG"), "\r\n");

  FILE* pipe = popen(
      (std::string(HX_CHECK_PATH) + " --preview " + folder.File("HX_RPT.INI") + " 2>&1").c_str(),
      "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0) << out;
  const std::string heading = "The report HX_RPT makes of it, each tag at its widest:\n";
  ASSERT_NE(out.find(heading), std::string::npos) << out;
  const std::vector<std::string> previewed =
      SplitAt(out.substr(out.find(heading) + heading.size()), "\n");

  // The header block and the report template, as the file holds them.
  std::vector<std::string> templates;
  bool in_block = false;
  for (const std::string& line : SplitAt(ini, "\r\n")) {
    if (line == "[HEADER_BEGIN]" || line == "[REPORT]" || line == "[HEADER_END]") {
      in_block = line != "[HEADER_END]";
    } else if (in_block) {
      templates.push_back(line);
    }
  }
  ASSERT_EQ(printed.size(), templates.size());
  ASSERT_EQ(previewed.size(), templates.size()) << out;
  for (size_t k = 0; k < templates.size(); ++k) {
    SCOPED_TRACE(templates[k]);
    EXPECT_EQ(Shape(templates[k], printed[k]), Shape(templates[k], templates[k]));
    EXPECT_EQ(Shape(templates[k], previewed[k]), Shape(templates[k], templates[k]));
  }
}

}  // namespace
}  // namespace hx::testing
