// HX_CHECK --preview and --live against HX_RPT itself: the example's report
// as the preview lays it out before any controller is asked, and as the
// program writes it to its log on the simulated plant; what every tag
// answers when the plant is asked once, and the exchanges that takes.

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
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

// The lines of text that hold what, in order.
std::vector<std::string> LinesWith(const std::string& text, const std::string& what) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitAt(text, "\n"))
    if (line.find(what) != std::string::npos) lines.push_back(line);
  return lines;
}

// HX_CHECK --live on the example and on the mistakes a file author makes:
// the tags that did not answer well, each named on a line of its own with
// why, the summary, and the exit status; and exactly the exchanges an
// HX_RPT run of the same file makes, in the same order.
TEST(LiveCheckTest, EveryTagAskedOnceAsARunAsksIt) {
  const std::string example_plant = ReadFile(SourceDir() + "/examples/LUMOCOM.SIM");
  std::string ini = ReadFile(SourceDir() + "/examples/HX_RPT.INI");
  ini.replace(ini.find("SHOWIT=TRUE"), 11, "SHOWIT=FALSE");
  auto plant = [&](const std::string& from, const std::string& to) {
    std::string text = example_plant;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    std::string name, plant;
    int status;
    std::vector<std::string> errors;  // the lines that say "error:"
    std::string summary;
  };
  const Case cases[] = {
      {"the example",
       example_plant,
       0,
       {},
       "14 tags answered, 0 failed; 3 of 3 controllers opened"},
      {"a symbol the controller does not know",
       plant("^RUNHOURS=18342\n", ""),
       1,
       {"HX_RPT.INI:22: error: tag 0, controller 1 'PUMPHOUSE': sent \" ^RUNHOURS @@ EMITL86\", "
        "status -1 (The controller does not know the symbol or the command.), reply \"\", shows "
        "\"?TAG??\": the controller does "
        "not know the symbol, or could not read it"},
       "13 tags answered, 1 failed; 3 of 3 controllers opened"},
      {"a controller not in the plant",
       plant("[FILTERS]", "[FILTERZ]"),
       1,
       {"HX_RPT.INI:17: error: controller 2 'FILTERS': not opened",
        "HX_RPT.INI:27: error: tag 5, controller 2 'FILTERS': shows \"\": not queried: its "
        "controller is not open",
        "HX_RPT.INI:28: error: tag 6, controller 2 'FILTERS': shows \"\": not queried: its "
        "controller is not open",
        "HX_RPT.INI:29: error: tag 7, controller 2 'FILTERS': shows \"\": not queried: its "
        "controller is not open",
        "HX_RPT.INI:30: error: tag 8, controller 2 'FILTERS': shows \"\": not queried: its "
        "controller is not open"},
       "10 tags answered, 4 failed; 2 of 3 controllers opened"},
      {"an integer tag whose reply is no number",
       plant("^RUNHOURS=18342", "^RUNHOURS=N/A"),
       1,
       {"HX_RPT.INI:22: error: tag 0, controller 1 'PUMPHOUSE': sent \" ^RUNHOURS @@ EMITL86\", "
        "status 0, reply \"N/A\", shows \"??????\": a number tag whose reply holds no number"},
       "13 tags answered, 1 failed; 3 of 3 controllers opened"},
      {"a reply of negative length",
       plant("[RESERVOIR]\n", "[RESERVOIR]\n@replylen=-1\n"),
       1,
       {"HX_RPT.INI:31: error: tag 9, controller 3 'RESERVOIR': sent \" ^LEVEL @@ EMITL86\", no "
        "answer, shows \"?????\": a failed exchange; controller 'RESERVOIR': the library gave a "
        "reply length of -1 for  ^LEVEL @@ EMITL86",
        "HX_RPT.INI:32: error: tag 10, controller 3 'RESERVOIR': sent \" ^CHLORTIME T@@F "
        "EMITL86\", no answer, shows \"???\": a failed exchange; controller 'RESERVOIR': the "
        "library gave a reply length of -1 for  ^CHLORTIME T@@F EMITL86",
        "HX_RPT.INI:33: error: tag 11, controller 3 'RESERVOIR': sent \" ~CHLORINE UNLOCK ANL@F "
        "RELOCK EMITL86\", no answer, shows \"????\": a failed exchange; controller 'RESERVOIR': "
        "the library gave a reply length of -1 for  ~CHLORINE UNLOCK ANL@F RELOCK EMITL86",
        "HX_RPT.INI:34: error: tag 12, controller 3 'RESERVOIR': sent \" 0 {ALARMS $TABLE@ "
        "PRINT$\", no answer, shows \"??????????????????????????????\": a failed exchange; "
        "controller 'RESERVOIR': the library gave a reply length of -1 for  0 {ALARMS $TABLE@ "
        "PRINT$",
        "HX_RPT.INI:35: error: tag 13, controller 3 'RESERVOIR': sent \" ~OVERFLOW UNLOCK DIG@I "
        "RELOCK EMITL86\", no answer, shows \"?????\": a failed exchange; controller 'RESERVOIR': "
        "the library gave a reply length of -1 for  ~OVERFLOW UNLOCK DIG@I RELOCK EMITL86"},
       "9 tags answered, 5 failed; 3 of 3 controllers opened"},
      // The library is not called again once it has failed.
      {"LumoCom crashes at the third query",
       plant("[PUMPHOUSE]\n", "[PUMPHOUSE]\n@crash=3\n"),
       1,
       {"HX_RPT.INI:24: error: tag 2, controller 1 'PUMPHOUSE': sent \" ~PUMP1 UNLOCK DIG@I RELOCK "
        "EMITL86\", no answer, shows \"???????\": the vendor library failed",
        "HX_RPT.INI:25: error: tag 3, controller 1 'PUMPHOUSE': command \" ~PUMP2 UNLOCK DIG@I "
        "RELOCK EMITL86\", no answer, shows \"???????\": not sent, since the vendor library failed "
        "at an earlier tag",
        "HX_RPT.INI:26: error: tag 4, controller 1 'PUMPHOUSE': command \" ~SUCTION UNLOCK ANL@F "
        "RELOCK EMITL86\", no answer, shows \"?????\": not sent, since the vendor library failed "
        "at an earlier tag",
        "HX_RPT.INI:27: error: tag 5, controller 2 'FILTERS': command \" 1 }TURBIDITY TABLE@ "
        "EMITL86\", no answer, shows \"?????\": not sent, since the vendor library failed at an "
        "earlier tag",
        "HX_RPT.INI:28: error: tag 6, controller 2 'FILTERS': command \" 2 }TURBIDITY TABLE@ "
        "EMITL86\", no answer, shows \"?????\": not sent, since the vendor library failed at an "
        "earlier tag",
        "HX_RPT.INI:29: error: tag 7, controller 2 'FILTERS': command \" 1 }BACKWASH TABLE@ "
        "EMITL86\", no answer, shows \"????\": not sent, since the vendor library failed at an "
        "earlier tag",
        "HX_RPT.INI:30: error: tag 8, controller 2 'FILTERS': command \" *OPERATOR PRINT$\", no "
        "answer, shows \"????????????????\": not sent, since the vendor library failed at an "
        "earlier tag",
        "HX_RPT.INI:31: error: tag 9, controller 3 'RESERVOIR': command \" ^LEVEL @@ EMITL86\", no "
        "answer, shows \"?????\": not sent, since the vendor library failed at an earlier tag",
        "HX_RPT.INI:32: error: tag 10, controller 3 'RESERVOIR': command \" ^CHLORTIME T@@F "
        "EMITL86\", no answer, shows \"???\": not sent, since the vendor library failed at an "
        "earlier tag",
        "HX_RPT.INI:33: error: tag 11, controller 3 'RESERVOIR': command \" ~CHLORINE UNLOCK ANL@F "
        "RELOCK EMITL86\", no answer, shows \"????\": not sent, since the vendor library failed at "
        "an earlier tag",
        "HX_RPT.INI:34: error: tag 12, controller 3 'RESERVOIR': command \" 0 {ALARMS $TABLE@ "
        "PRINT$\", no answer, shows \"??????????????????????????????\": not sent, since the vendor "
        "library failed at an earlier tag",
        "HX_RPT.INI:35: error: tag 13, controller 3 'RESERVOIR': command \" ~OVERFLOW UNLOCK DIG@I "
        "RELOCK EMITL86\", no answer, shows \"?????\": not sent, since the vendor library failed "
        "at an earlier tag"},
       "2 tags answered, 12 failed; 3 of 3 controllers opened"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    folder.Write("HX_RPT.INI", ini);
    folder.Write("LUMOCOM.SIM", c.plant);
    folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
    const ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    const std::string run_journal = folder.Read("journal.txt");

    std::filesystem::remove(folder.File("journal.txt"));
    folder.program = "HX_CHECK";
    folder.arguments = {"--live", "HX_RPT.INI"};
    const ProgramRun live = folder.Run();
    ASSERT_FALSE(live.timed_out);
    const std::string out = folder.Read("stdout.txt");
    EXPECT_EQ(live.exit_status, c.status) << out;
    EXPECT_EQ(live.err, "");
    if (!c.errors.empty() || c.status == 0) {
      EXPECT_EQ(LinesWith(out, " error: "), c.errors) << out;
    }
    if (!c.summary.empty()) {
      EXPECT_EQ(LinesWith(out, ": live: "),
                std::vector<std::string>{"HX_RPT.INI: live: " + c.summary})
          << out;
    }
    EXPECT_EQ(folder.Read("journal.txt"), run_journal);
  }
}

}  // namespace
}  // namespace hx::testing
