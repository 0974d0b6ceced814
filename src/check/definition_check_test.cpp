#include "check/definition_check.h"

#include <gtest/gtest.h>
#include <stdio.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/test_files.h"

namespace hx {
namespace {

// Lines joined with CR LF, the line end every editor and HX_RPT agree on.
std::string File(const std::vector<std::string>& lines) {
  std::string file;
  for (const std::string& line : lines) file += line + "\r\n";
  return file;
}

struct Outcome {
  std::vector<std::string> diagnostics;  // "LINE: severity: text"
  int status = -1;
};

Outcome Check(const std::string& file) {
  DefinitionCheck check("HX_RPT.INI");
  std::istringstream in(file);
  check.Read(in);
  std::ostringstream out;
  check.WriteDiagnostics(out);
  Outcome outcome;
  std::string line;
  std::istringstream lines(out.str());
  while (std::getline(lines, line))
    outcome.diagnostics.push_back(line.substr(11));  // "HX_RPT.INI:"
  outcome.status = check.ExitStatus();
  return outcome;
}

void Expect(const std::string& name, const std::string& file, int status,
            const std::vector<std::string>& diagnostics) {
  const Outcome outcome = Check(file);
  EXPECT_EQ(outcome.diagnostics, diagnostics) << name;
  EXPECT_EQ(outcome.status, status) << name;
}

TEST(DefinitionCheckTest, ExplainsWhatTheReaderPassesOver) {
  struct Case {
    std::string name, file;
    int status;
    std::vector<std::string> diagnostics;
  };
  // What a file without a template line says first.
  const std::string kNothing =
      " warning: the file gives HX_RPT nothing to report: no header or report template line and "
      "no tag; its report is empty";
  const std::string kNothingButTags =
      " warning: the file gives HX_RPT nothing to report: no header or report template line; its "
      "report is empty";
  const std::string kOrder =
      " (sections are read in the order SETUP, CONTROLLERS, TAGS, HEADER_BEGIN, REPORT)";
  const Case cases[] = {
      {"empty file", "", 1, {kNothing}},
      {"bytes that are no text",
       "\x01\x02\x03junk\x7F",
       1,
       {kNothing,
        "1: warning: column 1 holds the control character U+0001, which text files do not hold "
        "(4 in the file, the first here): is this the definition file?  HX_RPT reads it all the "
        "same, taking such a character for a blank between fields"}},
      {"notes before the first section", File({"notes", "[SETUP]", "SHOWIT=TRUE"}), 1, {kNothing}},
      {"controllers after tags",
       File({"[SETUP]", "SHOWIT=TRUE", "[TAGS]", "[CONTROLLERS]", "1=PUMP", "", "2=X", "[REPORT]"}),
       1,
       {kNothing,
        "4: warning: [CONTROLLERS] after [TAGS] is not recognised; its 2 lines are passed over" +
            kOrder}},
      {"a second setup is read only after another section",
       File({"[SETUP]", "SHOWIT=TRUE", "[SETUP]", "LOGIT=TRUE", "[HEADER_BEGIN]", "[HEADER_END]",
             "[SETUP]", "PRINTIT=TRUE"}),
       1,
       {kNothing,
        "3: warning: [SETUP] right after [SETUP] is not recognised; its 1 line is passed over" +
            kOrder}},
      {"a header that names no section",
       File({"[NOTES]", "a", "b", "[SETUP]"}),
       1,
       {kNothing,
        "1: warning: '[NOTES]' names no section; its 2 lines are passed over (the sections are "
        "[SETUP], [CONTROLLERS], [TAGS], [HEADER_BEGIN], [REPORT])"}},
      {"headers recognised as prefixes",
       File({"[setup]", "[TAGSET]"}),
       1,
       {kNothing,
        "2: warning: '[TAGSET]' is read as [TAGS]: only the 4 characters after '[' count; write "
        "it as [TAGS]"}},
      {"indented header inside a body",
       File({"[SETUP]", "  [REPORT]", "SHOWIT=TRUE"}),
       1,
       {kNothing,
        "2: warning: '[REPORT]' is indented, so inside [SETUP] it is an ordinary line, not a "
        "section header; it is passed over and the lines after it are read as [SETUP] lines; a "
        "section header starts in the first column"}},
      {"settings not accepted",
       File({"[SETUP]", "FONT=Arial", "PRINTIT=YES", "PRINTIT=true", "printit=FALSE", "LOGIT=FALSE",
             "FONTSIZE=big", "DATEFORMAT=d/m/yy", "TIMEFORMAT=hh:mm", "TIMEFORMAT=h:mm",
             "PortraitLines=abc", "PRINTERNAME=default", "PRINTERNAME=Default", "COLOUR=red",
             "just words"}),
       1,
       {kNothing,
        "2: warning: FONT=Arial before PRINTIT=TRUE does nothing; the printer font is set only "
        "after PRINTIT=TRUE",
        "3: warning: PRINTIT=YES is not TRUE; PRINTIT stays off (only TRUE, in any letter case, "
        "switches it on)",
        "5: warning: PRINTIT=FALSE cannot switch PRINTIT off; it stays TRUE from line 4",
        "7: warning: FONTSIZE=big is not a number (a number starts with a digit); the font size "
        "becomes 12",
        "8: warning: DATEFORMAT=d/m/yy is 6 characters long, shorter than 8; it is passed over "
        "and the default mm-dd-yyyy is used",
        "10: warning: TIMEFORMAT=h:mm is 4 characters long, shorter than 5; it is passed over and "
        "'hh:mm' from line 9 stays",
        "11: warning: PortraitLines=abc is not a number (a number starts with a digit); "
        "PortraitLines stays 0",
        "12: warning: PRINTERNAME=default is not 'Default' (letter case counts): it is recorded "
        "as a name, and the report goes to the system's current printer",
        "14: warning: unknown key 'COLOUR'; the line is passed over (keys: PRINTIT, SHOWIT, LOGIT, "
        "LOGFILEPATH, LOGFILENAME, FONT, FONTSIZE, DATEFORMAT, TIMEFORMAT, PortraitLines, "
        "LandScapeLines, PRINTERNAME)",
        "15: warning: no '=' in this [SETUP] line; it is passed over"}},
      {"a page length beyond 16 bits",
       File({"[SETUP]", "SHOWIT=TRUE", "LandScapeLines=40000", "PRINTIT=TRUE"}),
       2,
       {"3: error: LandScapeLines=40000 does not fit a 16-bit number; HX_RPT stops reading here "
        "(error 6, Overflow, in \"FormLoad\") and produces no report"}},
      {"controllers",
       File({"[CONTROLLERS]", "1=PUMPHOUSE SOUTH", "2= PUMPHOUSE", "7=X", "01=X", "1=OTHER",
             "3=A\tB", "=X"}),
       1,
       {kNothing,
        "3: warning: controller 2 has an empty name (the name starts right after '=' and ends at "
        "the first space); no controller can be opened by it",
        "4: warning: controller key '7' is not one of 1, 2, 3, 4, 5; the line is passed over",
        "5: warning: controller key '01' is not one of 1, 2, 3, 4, 5; the line is passed over",
        "6: warning: controller 1 is given again; 'OTHER' replaces 'PUMPHOUSE' from line 2, "
        "which is opened all the same",
        "7: warning: the name of controller 3, 'A\\tB', holds a tab or control character; only a "
        "space ends a name, so HX_RPT asks for a controller of exactly that name",
        "8: warning: no controller number before '='; the line is passed over (write 1=NAME to "
        "5=NAME)"}},
      {"tag lines that stop early",
       File({"[CONTROLLERS]", "1=P", "[TAGS]", "; index controller type", "12 1 IT LEVELS 3",
             "13 1 XX NAME 1 1", "14 A IV X 1 1", "15 1 SV 1ABC 0 0", "16 1 FV X HIGH 2",
             "17 1 DP PUMP ON", "18 1 FV Y", "19 1 FV Z 3", "20 1 ST S 4 NONE", "21 1 IT T 3 0 Q",
             "22 1 IV C 4 0 12", "-1 1 IV X 1 0", "22 1 IV D 4 0"}),
       1,
       {kNothingButTags,
        "5: warning: tag 12: the line ends before field 6 (decimals or OFF text); the query "
        "command gets no table index",
        "6: warning: tag 13: field 3 (type) 'XX' is not a type code (IV, FV, TV, SV, IT, FT, ST, "
        "DP, AP); the tag is left undefined and shows no value",
        "7: warning: tag 14: field 2 (controller) 'A' is not a number; the tag is left undefined "
        "and shows no value",
        "8: warning: tag 15: name '1ABC' starts with a digit; the tag has no query command",
        "10: warning: tag 17: the line ends before field 6 (decimals or OFF text); a zero value "
        "shows as an empty text",
        "11: warning: tag 18: the line ends before field 5 (digits or ON text); the tag has "
        "neither digits nor ON/OFF texts and shows no value",
        "12: warning: tag 19: the line ends before field 6 (decimals or OFF text); a float "
        "without its decimals field is shown in general form",
        "13: note: tag 20: no table index (field 7); table element 0 is read",
        "14: warning: tag 21: field 7 (table index) 'Q' is not a number; table element 0 is read",
        "15: warning: tag 22: '12' and what follows it is ignored (IV uses 6 fields)",
        "16: warning: tag index '-1' does not start with a digit, so the line is taken as a "
        "comment and passed over",
        "17: warning: tag 22 is defined again (first at line 15); this line overwrites the fields "
        "it reaches, the others keep their earlier values"}},
      {"the same tag line twice",
       File({"[TAGS]", "5 0 IV X 1 0 7 0 IV Y 1 0", "5 0 IV X 1 0 7 0 IV Y 1 0"}),
       1,
       {kNothingButTags, "2: warning: tag 5: '7' and what follows it is ignored (IV uses 6 fields)",
        "2: warning: tag 5: controller 0 is never open (controllers are 1 to 5); the tag is never "
        "read and prints as blanks",
        "3: warning: this tag line is the same as the one before it (line 2); HX_RPT goes on "
        "where it stopped reading that one, so it is read from '7' on; make the lines differ, for "
        "example by a trailing comment field",
        "3: warning: tag 7: controller 0 is never open (controllers are 1 to 5); the tag is never "
        "read and prints as blanks"}},
      {"tags and their controllers",
       File({"[CONTROLLERS]", "1=P", "[TAGS]", "0 1 IV A 1 0", "1 4 IV B 1 0", "2 9 IV C 1 0",
             "3 4 IV D 1 0"}),
       2,
       {kNothingButTags,
        "5: warning: tag 1: no [CONTROLLERS] line that HX_RPT reads opens controller 4; the tag "
        "is never read and prints as blanks",
        "6: error: tag 2: controller 9 is outside the controller table; HX_RPT stops reading "
        "values at this tag (error 9, Subscript out of range, in \"Process_List\"), and this tag "
        "and all after it show no value"}},
      {"a tag index outside 0 to 400",
       File({"[TAGS]", "0 0 IV X 1 0", "401 1 IV X 1 1"}),
       2,
       {"3: error: tag index 401 is outside 0 to 400; HX_RPT stops reading here (error 9, "
        "Subscript out of range, in \"FormLoad\") and produces no report"}},
      {"a tag field beyond 16 bits",
       File({"[TAGS]", "0 0 IV X 99999 1"}),
       2,
       {"2: error: tag 0: field 5 (digits or ON text) '99999' does not fit a 16-bit number; "
        "HX_RPT stops reading here (error 6, Overflow, in \"FormLoad\") and produces no report"}},
      {"a line too long for its section",
       File({"[SETUP]", "A=" + std::string(40000, 'x')}),
       2,
       {"2: error: the line is 40002 characters long; lines of [SETUP], [CONTROLLERS] and [TAGS] "
        "hold at most 32767; HX_RPT stops reading here (error 6, Overflow, in \"FormLoad\") and "
        "produces no report"}},
      {"a header block of 12 lines",
       File({"[HEADER_BEGIN]", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
             "[HEADER_END]", "[REPORT]"}),
       1,
       {"12: warning: the header block holds at most 10 lines and has no [HEADER_END] before this "
        "line; this line ends it, is not stored and is tried as [REPORT]; 1 line after it is "
        "passed over up to the next section header",
        "14: warning: '[HEADER_END]' ends no header block here; it is passed over"}},
      {"a header block without end marker",
       File({"[HEADER_BEGIN]", "h", "[REPORT]", "r"}),
       1,
       {"1: warning: [HEADER_BEGIN] has no [HEADER_END]; the header block runs to the end of the "
        "file",
        "3: warning: header line 2: '[REPORT]' is header block text, not a section header: the "
        "header block has no [HEADER_END] before it"}},
      {"text between the header block and the report",
       File({"[HEADER_BEGIN]", "[HEADER_END]", "stray", "", "more", "[REPORT]", "[SETUP]"}),
       1,
       {"3: warning: text after [HEADER_END] lies outside any section; 2 lines are passed over up "
        "to the next section header",
        "7: warning: report line 1: '[SETUP]' is report template text, not a section header: "
        "[REPORT] runs to the end of the file"}},
      {"template fields",
       File({"[CONTROLLERS]", "1=P", "[TAGS]", "1 1 IV X 1 0", "[REPORT]",
             "a \\1 \\45 \\x \\ \\12b \\d \\T \\f", "\\99999", "\\401"}),
       2,
       {"6: warning: report line 1: field \\45 shows tag 45, which no [TAGS] line defines; it "
        "prints as blanks",
        "6: warning: report line 1: field \\x is not a field code (a tag number, D, T or F); it "
        "prints nothing",
        "6: warning: report line 1: a '\\' with no code after it prints nothing, and the blank "
        "after it is not printed either",
        "6: note: report line 1: field \\12b is read as tag 12",
        "6: warning: report line 1: field \\12b shows tag 12, which no [TAGS] line defines; it "
        "prints as blanks",
        "6: warning: report line 1: field \\T starts in column 23, inside the date, which is 10 "
        "wide and fills columns 20 to 29; the time is printed from column 30 instead",
        "7: error: report line 2: field \\99999 does not fit a 16-bit number; HX_RPT stops "
        "printing the report template here (error 6, Overflow, in \"SendRecv\"): this line and "
        "the ones after it are not printed",
        "8: error: report line 3: field \\401 shows tag 401, outside 0 to 400; HX_RPT stops "
        "printing the report template here (error 9, Subscript out of range, in \"SendRecv\"): "
        "this line and the ones after it are not printed"}},
      {"line feeds alone",
       "[SETUP]\nSHOWIT=TRUE\n",
       1,
       {kNothing,
        "1: note: 2 lines end with LF alone (the first here); HX_RPT reads them, but older readers "
        "of this file take only CR LF or CR as a line end"}},
      {"a file in UTF-8",
       File({"[REPORT]", "\u00B0C \u2192"}),
       1,
       {"1: note: the file is read as UTF-8: its text is turned into Windows-1252, a character "
        "that code page lacks becomes '?', and the log is written in UTF-8",
        "2: warning: the character U+2192 is not in Windows-1252, HX_RPT's code page on this "
        "system; it shows as '?'"}},
      {"names the code page cannot hold",
       File({"[CONTROLLERS]", "1=ZA\u0141OGA", "[TAGS]", "0 1 DP P\u0141 AN \u0441",
             "1 1 IT L 4 0 \u01411"}),
       2,
       {kNothingButTags,
        "1: note: the file is read as UTF-8: its text is turned into Windows-1252, a character "
        "that code page lacks becomes '?', and the log is written in UTF-8",
        "2: error: controller 1: the name holds the character U+0141, which Windows-1252 lacks; "
        "HX_RPT never sends the name altered, so the controller is not opened",
        "4: error: tag 0: the name holds the character U+0141, which Windows-1252 lacks; HX_RPT "
        "never sends the name altered, so the tag is not queried and shows as '?'",
        "4: warning: the character U+0441 is not in Windows-1252, HX_RPT's code page on this "
        "system; it shows as '?'",
        "5: error: tag 1: the table index holds the character U+0141, which Windows-1252 lacks; "
        "HX_RPT never sends the table index altered, so the tag is not queried and shows as "
        "'?'"}},
      {"a file in UTF-16",
       testing::Utf16File(File({"[REPORT]", "\u00B0C"}), false),
       0,
       {"1: note: the file is read as UTF-16 LE: its text is turned into Windows-1252, a "
        "character that code page lacks becomes '?', and the log is written in UTF-8"}},
      {"a NUL character",
       File({"[SETUP]", std::string("SHOWIT=TR\0UE", 12)}),
       2,
       {"2: error: column 10 holds a NUL character, which no text file has (a file saved in "
        "UTF-16 needs its byte order mark); HX_RPT refuses the file (error 54, Bad file mode, in "
        "\"FormLoad\") and produces no report"}},
      {"mostly UTF-8",
       File({"[REPORT]", "\u00B0C \u00B5S", "caf\xE9"}),
       1,
       {"3: warning: column 4 holds a byte that is not UTF-8, although 2 characters of the file "
        "are UTF-8 of more than one byte; HX_RPT reads the whole file byte for byte in "
        "Windows-1252, so each of those characters is two or more characters in the report and "
        "in the names it sends; saved as UTF-8 throughout, the file is read as UTF-8"}},
      {"log on without a name",
       File({"[SETUP]", "LOGIT=TRUE"}),
       1,
       {kNothing,
        "2: warning: LOGIT=TRUE, but no LOGFILENAME is set; the log cannot be written and HX_RPT "
        "reports \"Could not write to: \""}},
  };
  for (const Case& c : cases) Expect(c.name, c.file, c.status, c.diagnostics);
}

// A value wider than its field's span covers the template after it: the
// text there is lost, and a field there moves right.  Every field is laid
// out at its widest: tag 2 shows RUNNING or STOPPED, tag 3 is 3 wide, tag
// 5's failure fill is 7 wide, tag 12 is 6 wide.
TEST(DefinitionCheckTest, TellsWhereAValueCoversTheTemplate) {
  struct Case {
    std::string name;
    std::vector<std::string> setup, report;
    std::vector<std::string> diagnostics;
  };
  const Case cases[] = {
      {"room up to the unit", {}, {"Temp: \\12      degC"}, {}},
      {"the unit covered",
       {},
       {"Temp: \\12 degC"},
       {"9: warning: report line 1: tag 12 is 6 wide and covers 'de' of 'degC', columns 11 to 12, "
        "which are then not printed"}},
      {"a short value is filled out to its span", {}, {"Temp: \\3 degC"}, {}},
      {"covered across a blank, and one character",
       {},
       {"\\2 ab cd", "\\12 x"},
       {"9: warning: report line 1: tag 2 is 7 wide and covers 'ab c' of 'ab cd', columns 4 to 7, "
        "which are then not printed",
        "10: warning: report line 2: tag 12 is 6 wide and covers 'x', column 5, which is then not "
        "printed"}},
      {"a field inside the value before it, and what that one covers",
       {},
       {"\\12 \\3 x"},
       {"9: warning: report line 1: field \\3 starts in column 5, inside tag 12, which is 6 wide "
        "and fills columns 1 to 6; tag 3 is printed from column 7 instead",
        "9: warning: report line 1: tag 3 is 3 wide and covers 'x', column 8, which is then not "
        "printed"}},
      {"the widest date of the year",
       {"[SETUP]", "DATEFORMAT=dddd d mmmm yyyy"},
       {"\\D" + std::string(24, ' ') + "x", "\\D" + std::string(25, ' ') + "x"},
       {"11: warning: report line 1: the date is 27 wide and covers 'x', column 27, which is then "
        "not printed"}},
      // An integer with decimals shows 4 digits, but a failed query 7 "?".
      {"a failed query wider than the value",
       {},
       {"a\\5 tail"},
       {"9: warning: report line 1: tag 5 is 7 wide and covers 'tail', columns 5 to 8, which are "
        "then not printed"}},
      {"fields inside the time",
       {},
       {"\\t \\3 \\D"},
       {"9: warning: report line 1: field \\3 starts in column 4, inside the time, which is 8 "
        "wide and fills columns 1 to 8; tag 3 is printed from column 9 instead",
        "9: warning: report line 1: field \\D starts in column 7, inside the time, which is 8 "
        "wide and fills columns 1 to 8; the date is printed from column 12 instead"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines = c.setup;
    for (const char* line : {"[CONTROLLERS]", "1=P", "[TAGS]", "2 1 DP B RUNNING STOPPED",
                             "3 1 IV C 3 0", "5 1 IV E 4 2", "12 1 FV A 4 1", "[REPORT]"})
      lines.push_back(line);
    lines.insert(lines.end(), c.report.begin(), c.report.end());
    Expect(c.name, File(lines), c.diagnostics.empty() ? 0 : 1, c.diagnostics);
  }
}

TEST(DefinitionCheckTest, AFullReportTemplateEndsAtItsLine401) {
  std::vector<std::string> lines = {"[REPORT]"};
  for (int i = 1; i <= 403; ++i) lines.push_back("r" + std::to_string(i));
  lines.push_back("[SETUP]");
  lines.push_back("SHOWIT=TRUE");
  Expect("450 report lines", File(lines), 1,
         {"402: warning: the report template holds at most 400 lines; this line ends it and is "
          "not stored; 2 lines after it are passed over up to the next section header"});
}

// The bundled example is what a new site starts from: it must pass clean,
// without even a note (its lines end with CR LF, as the sites' files do).
TEST(DefinitionCheckTest, TheExampleFileGivesNoWarning) {
  std::ifstream in(std::string(std::getenv("HX_SOURCE_DIR")) + "/examples/HX_RPT.INI",
                   std::ios::binary);
  ASSERT_TRUE(in);
  DefinitionCheck check("HX_RPT.INI");
  check.Read(in);
  for (const Diagnostic& d : check.Diagnostics()) ADD_FAILURE() << d.line << ": " << d.text;
  EXPECT_EQ(check.ExitStatus(), 0);
  EXPECT_EQ(check.state().ReportCount, 20);
}

#ifndef _WIN32
// HX_CHECK as a user runs it: no argument means HX_RPT.INI beside the
// program; a controller that cannot be opened is no communication error,
// and one whose name the code page cannot hold is a finding, not a line of
// HX_RPT's own on standard error.
// (The Windows program runs in the program-level tests under wine.)
TEST(DefinitionCheckTest, TheProgramChecksTheFileInItsOwnFolder) {
  testing::ScratchFolder folder;
  const std::string program = folder.path() + "/HX_CHECK";
  std::filesystem::copy_file(HX_CHECK_PATH, program);
  std::ofstream(folder.path() + "/HX_RPT.INI", std::ios::binary)
      << File({"[SETUP]", "SHOWIT=TRUE", "[CONTROLLERS]", "2=PUMPHOUSE", "1=ZA\u0141OGA", "[TAGS]",
               "0 3 IV X 1 0"});

  struct Run {
    std::string args;
    int status;
  };
  for (const Run& run : {Run{"", 2}, Run{" " + folder.path() + "/NONE.INI", 2}, Run{" a b", 2}}) {
    const std::string command = "cd / && " + program + run.args + " 2>" + folder.path() + "/err";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), run.status) << run.args;
    if (run.args.empty()) {
      EXPECT_NE(out.find(folder.path() + "/HX_RPT.INI:5: error: controller 1: the name holds"),
                std::string::npos)
          << out;
      EXPECT_NE(out.find(folder.path() + "/HX_RPT.INI:7: warning: tag 0: no [CONTROLLERS] line "
                                         "that HX_RPT reads opens controller 3"),
                std::string::npos)
          << out;
      EXPECT_NE(out.find("\n  2  'PUMPHOUSE'             line 4\n"), std::string::npos) << out;
      EXPECT_EQ(out.find("Communication"), std::string::npos) << out;
      EXPECT_EQ(testing::ReadFile(folder.path() + "/err"), "");
    }
  }
}
#endif

}  // namespace
}  // namespace hx
