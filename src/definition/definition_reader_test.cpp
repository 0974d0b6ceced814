#include "definition/definition_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "testing/fake_platform.h"
#include "testing/test_files.h"

namespace hx {
namespace {

void Read(testing::FakeRun& run, const std::string& file) {
  std::istringstream in(file);
  ReadDefinition(run.rs, in);
}

// The run-time error that stopped the reading, 0 when it ran to the end.
int ErrorOf(testing::FakeRun& run, const std::string& file) {
  try {
    Read(run, file);
  } catch (const RunError& e) {
    return e.number();
  }
  return 0;
}

std::string Join(const std::string* lines, int count) {
  std::string s;
  for (int i = 1; i <= count; ++i) s += (i > 1 ? "|" : "") + lines[i];
  return s;
}

// Which sections reached the report state: a flag, the tags and controllers
// defined, and the two blocks.
std::string Sections(const std::string& file) {
  testing::FakeRun run;
  Read(run, file);
  const ReportState& rs = run.rs;
  std::string s;
  if (rs.PRINTIT) s += "PRINTIT ";
  if (rs.LOGIT) s += "LOGIT ";
  for (int i = 1; i <= 5; ++i)
    if (!rs.ControllerName[i].empty()) s += "C" + std::to_string(i) + " ";
  for (int i = 0; i <= 400; ++i)
    if (!rs.TagTable[i].TagCommand.empty()) s += "T" + std::to_string(i) + " ";
  s += "H" + std::to_string(rs.HeaderCount) + ":" + Join(rs.HeaderLines.data(), rs.HeaderCount);
  s += " R" + std::to_string(rs.ReportCount) + ":" + Join(rs.ReportLines.data(), rs.ReportCount);
  return s;
}

std::string Lines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "h" + std::to_string(i) + "\r\n";
  return s;
}

TEST(ReadDefinitionTest, ScansSectionsInTheirFixedOrder) {
  struct Case {
    std::string name, file, sections;
  };
  const Case cases[] = {
      {"empty file", "", "H0: R0:"},
      {"no section", "notes\r\nmore notes", "H0: R0:"},
      {"all in order",
       "x\r\n[SETUP]\r\nLOGIT=TRUE\r\n[CONTROLLERS]\r\n1=A\r\n[TAGS]\r\n0 1 IV X 1 0\r\n"
       "[HEADER_BEGIN]\r\nh\r\n[HEADER_END]\r\n[REPORT]\r\nr1\r\nr2\r\n",
       "LOGIT C1 T0 H1:h R2:r1|r2"},
      {"controllers after tags are passed over",
       "[SETUP]\r\nLOGIT=TRUE\r\n[TAGS]\r\n0 1 IV X 1 0\r\n[CONTROLLERS]\r\n1=PUMP\r\n",
       "LOGIT T0 H0: R0:"},
      {"second setup right after the first", "[SETUP]\r\nLOGIT=TRUE\r\n[SETUP]\r\nPRINTIT=TRUE\r\n",
       "LOGIT H0: R0:"},
      {"second setup after the header block",
       "[SETUP]\r\nLOGIT=TRUE\r\n[HEADER_BEGIN]\r\nh\r\n[HEADER_END]\r\n[SETUP]\r\nPRINTIT="
       "TRUE\r\n",
       "PRINTIT LOGIT H1:h R0:"},
      {"lower case prefix", "[setup-OLD]\r\nLOGIT=TRUE\r\n", "LOGIT H0: R0:"},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF[SETUP]\r\nLOGIT=TRUE\r\n", "LOGIT H0: R0:"},
      {"TAGSET", "[TAGSET]\r\n0 1 IV X 1 0\r\n", "T0 H0: R0:"},
      {"REPORTS", "[REPORTS]\r\nr\r\n", "H0: R1:r"},
      {"indented header inside a body", "[SETUP]\r\n  [TAGS]\r\n0 1 IV X 1 0\r\n", "H0: R0:"},
      {"indented header at the top", "notes\r\n \t[TAGS]\r\n0 1 IV X 1 0\r\n", "T0 H0: R0:"},
      {"empty lines in a body", "[TAGS]\r\n\r\n0 1 IV X 1 0\r\n\r\n1 1 IV Y 1 0", "T0 T1 H0: R0:"},
      {"12 header lines", "[HEADER_BEGIN]\r\n" + Lines(1, 12) + "[HEADER_END]\r\n[REPORT]\r\nr",
       "H10:h1|h2|h3|h4|h5|h6|h7|h8|h9|h10 R1:r"},
      {"header without end marker",
       "[HEADER_BEGIN]\r\n" + Lines(1, 2) + "[REPORT]\r\n" + Lines(4, 10) + "[REPORT]\r\nr",
       "H10:h1|h2|[REPORT]|h4|h5|h6|h7|h8|h9|h10 R1:r"},
      {"end marker with any first character",
       "[HEADER_BEGIN]\r\n[h\r\nxheader_end\r\n[REPORT]\r\nr", "H1:[h R1:r"},
      {"two reports", "[REPORT]\r\na\r\n[REPORT]\r\nb", "H0: R3:a|[REPORT]|b"},
      {"blocks are kept as written", "[REPORT]\r\n  x \r\n\r\n\x01y\t\f", "H0: R3:  x ||\x01y\t\f"},
      {"a block's last line is content, not a header",
       "[HEADER_BEGIN]\r\nh\r\n[HEADER_END]\r\n[SETUP]\r\nXHEADER_BEGIN=1", "H1:h R0:"},
      {"line feeds alone", "[SETUP]\nLOGIT=TRUE\n[TAGS]\n0 1 IV X 1 0\n[REPORT]\na\n",
       "LOGIT T0 H0: R1:a"},
      {"carriage returns alone", "[SETUP]\rLOGIT=TRUE\r[REPORT]\ra", "LOGIT H0: R1:a"},
      {"mixed line ends", "[REPORT]\r\na\n\rb\r\r\nc", "H0: R5:a||b||c"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sections(c.file), c.sections) << c.name;
}

TEST(ReadDefinitionTest, AFullReportEndsAtItsLine401AndTheScanGoesOn) {
  std::string file = "[REPORT]\r\n";
  for (int i = 1; i <= 400; ++i) file += "r" + std::to_string(i) + "\r\n";
  file += "[TAGS]\r\n0 1 IV X 1 0\r\n[SETUP]\r\nLOGIT=TRUE\r\n";
  testing::FakeRun run;
  Read(run, file);
  EXPECT_EQ(run.rs.ReportCount, 400);
  EXPECT_EQ(run.rs.ReportLines[400], "r400");
  EXPECT_TRUE(run.rs.TagTable[0].TagCommand.empty());  // line 401 opened nothing
  EXPECT_TRUE(run.rs.LOGIT);
}

// What a [SETUP] body changed, in one comparable line.
std::string Settings(const std::string& body) {
  testing::FakeRun run;
  Read(run, "[SETUP]\r\n" + body);
  const ReportState& rs = run.rs;
  std::ostringstream s;
  s << (rs.PRINTIT ? "P" : "") << (rs.SHOWIT ? "S" : "") << (rs.LOGIT ? "L" : "");
  if (!rs.PRINTERNAME.empty()) s << " name=" << rs.PRINTERNAME;
  if (rs.LandScapeLines || rs.PortraitLines)
    s << " lines=" << rs.LandScapeLines << "/" << rs.PortraitLines;
  if (run.printer.font_name != "Courier New" || run.printer.font_size != 12)
    s << " font=" << run.printer.font_name << "/" << run.printer.font_size;
  if (!rs.DATEFORMAT.empty() || !rs.TIMEFORMAT.empty())
    s << " date=" << rs.DATEFORMAT << " time=" << rs.TIMEFORMAT;
  if (!rs.LOGFILEPATH.empty() || !rs.LOGFILENAME.empty())
    s << " log=" << rs.LOGFILEPATH << "|" << rs.LOGFILENAME;
  s << (run.screen.visible ? " shown" : "") << (run.printer.follows_default ? " default" : "");
  return s.str();
}

TEST(ReadDefinitionTest, AppliesEachSetupKeyByItsRule) {
  const std::pair<std::string, std::string> cases[] = {
      {"printit=true", "P"},
      {" PRINTIT = TRUE ", "P"},
      {"PRINTIT=YES", ""},
      {"PRINTIT=TRUE\r\nPRINTIT=FALSE", "P"},
      {"SHOWIT=True", "S shown"},
      {"SHOWIT=no\r\nLOGIT=tRUE", "L"},
      {"FONT=Arial\r\nFONTSIZE=9\r\nPRINTIT=TRUE", "P"},
      {"PRINTIT=TRUE\r\nFONT = Times New Roman \r\nFONTSIZE=10.5", "P font=Times New Roman/10.5"},
      {"PRINTIT=TRUE\r\nFONTSIZE=9\r\nFONTSIZE=big", "P"},
      {"LANDSCAPELINES=40\r\nLandScapeLines=abc\r\nportraitlines = 6 6\r\nPortraitLines=-5",
       " lines=40/66"},
      {"DATEFORMAT=d/m/yy\r\nTIMEFORMAT=h:mm", ""},
      {"DATEFORMAT=dd/mm/yyyy\r\nTIMEFORMAT=hh:mm", " date=dd/mm/yyyy time=hh:mm"},
      {"LOGFILEPATH=C:\\LOGS\r\nLOGFILENAME=\r\nLOGFILENAME=a=b", " log=C:\\LOGS|a=b"},
      {"LOGFILEPATH=X\r\nLOGFILEPATH=  ", ""},
      {"PRINTERNAME=default", " name=default"},
      {"PRINTERNAME=Default", " name=FakeQueue default"},
      {"UNKNOWN=1\r\nPRINTIT TRUE\r\n=TRUE\r\n  [REPORT]", ""},
  };
  for (const auto& [body, settings] : cases) EXPECT_EQ(Settings(body), settings) << body;
}

TEST(ReadDefinitionTest, FailuresStopTheReadingWhereTheyOccur) {
  struct Case {
    std::string file;
    int number;
  };
  const Case cases[] = {
      {"[SETUP]\r\nLOGIT=TRUE\r\nLandScapeLines=40000\r\nPRINTIT=TRUE", err::kOverflow},
      {"[SETUP]\r\nLOGIT=TRUE\r\nPortraitLines=1e400\r\nPRINTIT=TRUE", err::kOverflow},
      {"[SETUP]\r\nLOGIT=TRUE\r\n[TAGS]\r\n401 1 IV X 1 1\r\n[SETUP]\r\nPRINTIT=TRUE",
       err::kSubscript},
      {"[SETUP]\r\nLOGIT=TRUE\r\n[TAGS]\r\n0 1 IV X 1 0 " + std::string(40000, 'x') +
           "\r\n[SETUP]\r\nPRINTIT=TRUE",
       err::kOverflow},
      {"[SETUP]\r\nLOGIT=TRUE\r\nA=" + std::string(32766, 'x') + "\r\nPRINTIT=TRUE",
       err::kOverflow},
  };
  for (const Case& c : cases) {
    testing::FakeRun run;
    EXPECT_EQ(ErrorOf(run, c.file), c.number) << c.file.substr(0, 60);
    EXPECT_TRUE(run.rs.LOGIT);     // what came before stays
    EXPECT_FALSE(run.rs.PRINTIT);  // nothing after is read
  }
  testing::FakeRun run;
  EXPECT_EQ(ErrorOf(run, "[SETUP]\r\nA=" + std::string(32765, 'x') + "\r\nLOGIT=TRUE"), 0);
  EXPECT_TRUE(run.rs.LOGIT);
}

TEST(ReadDefinitionTest, FailingPrinterCallsStopTheReading) {
  testing::FakeRun run;
  run.printer.fail_font = true;
  EXPECT_EQ(ErrorOf(run, "[SETUP]\r\nPRINTIT=TRUE\r\nFONT=Arial"), err::kPrinterError);
  run.printer.fail_name = true;
  EXPECT_EQ(ErrorOf(run, "[SETUP]\r\nPRINTERNAME=Default"), err::kPrinterError);
}

TEST(ReadDefinitionTest, BinaryAndHugeInputIsReadWithoutHarm) {
  std::string junk;
  // Every byte but NUL, which makes a file no text at all.
  for (int i = 0; i < 3'000'000; ++i) junk += static_cast<char>((i * 7919u) % 255 + 1);
  testing::FakeRun run;
  // Whatever sections the noise happens to open, nothing may crash or hang;
  // a 16-bit failure is a fair outcome.
  const int number = ErrorOf(run, junk);
  EXPECT_TRUE(number == 0 || number == err::kOverflow || number == err::kSubscript) << number;

  // Control characters are blanks, so the header line counts as indented.
  testing::FakeRun big;
  const std::string line(5'000'000, 'r');
  EXPECT_EQ(ErrorOf(big, "\x01\x02[REPORT]\r\n" + line + "\r\n" + line), 0);
  EXPECT_EQ(big.rs.ReportCount, 2);
  EXPECT_EQ(big.rs.ReportLines[2].size(), line.size());
}

TEST(ReadDefinitionTest, ControllerLinesNameAndOpenTheSlots) {
  testing::FakeRun run;
  run.vendor.open = [](const std::string& name) {
    return std::pair<int16_t, int32_t>{0, static_cast<int32_t>(100 + name.size())};
  };
  Read(run,
       "[CONTROLLERS]\r\n1=PUMPHOUSE SOUTH\r\n2= PUMPHOUSE\r\n3=A\tB C\r\n7=X\r\n01=X\r\n"
       " 4 =D\r\nnoequals\r\n5=E\r\n5=FG\r\n6=G\r\n");
  EXPECT_EQ(run.rs.ControllerName,
            (std::array<std::string, 7>{"", "PUMPHOUSE", "", "A\tB", "D", "FG", ""}));
  EXPECT_EQ(run.rs.ControllerHandle, (std::array<int32_t, 7>{0, 109, 100, 103, 101, 102, 0}));
  std::vector<std::string> opens;
  for (const std::string& call : run.vendor.calls)
    if (call.rfind("open ", 0) == 0) opens.push_back(call);
  EXPECT_EQ(opens, (std::vector<std::string>{"open PUMPHOUSE", "open ", "open A\tB", "open D",
                                             "open E", "open FG"}));
}

TEST(ReadDefinitionTest, ReadsTheExamplePlant) {
  const char* source = std::getenv("HX_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  std::ifstream in(std::string(source) + "/examples/HX_RPT.INI", std::ios::binary);
  ASSERT_TRUE(in);
  testing::FakeRun run;
  run.vendor.open = [](const std::string&) { return std::pair<int16_t, int32_t>{0, 1}; };
  ReadDefinition(run.rs, in);
  const ReportState& rs = run.rs;
  EXPECT_TRUE(rs.SHOWIT && rs.LOGIT && !rs.PRINTIT);
  EXPECT_EQ(rs.LastTag, 13);
  EXPECT_EQ(rs.HeaderCount, 4);
  EXPECT_EQ(rs.ReportCount, 20);
  EXPECT_TRUE(run.dialog.messages.empty());
}

TEST(ReadDefinitionTest, AFileInUtf8IsReadInTheProgramsCodePage) {
  // The program's 8-bit text: degree sign, micro sign, a dash, the euro sign.
  const std::string program_text =
      "\xB0"
      "C \xB5S \x96 \x80";
  const std::string utf8 = "\u00B0C \u00B5S \u2013 \u20AC";
  // The degree sign's two bytes fall on either side of the first 64 KiB, a
  // common size of a file's read buffer.
  const std::string across = std::string(65536 - 11, 'x');
  using enum TextEncoding;
  struct Case {
    std::string name, file, report_line;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"8-bit", "[REPORT]\r\n" + program_text, program_text, kCodePage},
      {"UTF-8", "[REPORT]\r\n" + utf8, program_text, kUtf8},
      {"UTF-8 with the mark", "\xEF\xBB\xBF[REPORT]\r\n" + utf8, program_text, kUtf8},
      {"ASCII with the mark", "\xEF\xBB\xBF[REPORT]\r\nx", "x", kUtf8},
      {"ASCII", "[REPORT]\r\nx", "x", kCodePage},
      {"beyond the code page", "[REPORT]\r\n\u2192\u00E9", "?\xE9", kUtf8},
      {"mostly UTF-8, one 8-bit byte", "[REPORT]\r\n" + utf8 + "\r\n\xE9", utf8, kCodePage},
      {"a character across two pieces", "[REPORT]\r\n" + across + "\u00B0", across + "\xB0", kUtf8},
      {"UTF-16 LE", testing::Utf16File("[REPORT]\r\n" + utf8, false), program_text, kUtf16Le},
      {"UTF-16 BE, line ends of every kind", testing::Utf16File("x\r[REPORT]\ny\r\n" + utf8, true),
       "y", kUtf16Be},
      // A character beyond the first 65536, a half pair before a whole one,
      // and half a code unit at the end: each one "?".
      {"UTF-16, pairs whole and broken",
       testing::Utf16File("[REPORT]\r\n\U0001F600|\U0001F600|", false)
               .insert(28, std::string("\0\xD8", 2)) +
           "x",
       "?|??|?", kUtf16Le},
  };
  for (const Case& c : cases) {
    testing::FakeRun run;
    Read(run, c.file);
    ASSERT_GE(run.rs.ReportCount, 1) << c.name;
    EXPECT_EQ(run.rs.ReportLines[1], c.report_line) << c.name;
    EXPECT_EQ(run.rs.DefinitionEncoding, c.encoding) << c.name;
  }
}

// A name that lost a character on its way into the code page is never sent:
// the controller is not opened, the tag is marked with its line, and a later
// line that names the tag afresh takes the mark away.
TEST(ReadDefinitionTest, ANameTheCodePageCannotHoldIsNeverSent) {
  testing::FakeRun run;
  Read(run,
       "[CONTROLLERS]\r\n1=ZA\u0141OGA\r\n2=PLANT\r\n[TAGS]\r\n0 2 SV P\u0141 4\r\n"
       "1 2 SV \u00C9T\u00C9 4\r\n2 2 IT TAB 4 0 1\u2082\r\n3 2 SV X 4\r\n3 2 SV X\u0141\r\n"
       "3 2 SV Y 4\r\n4 2 FT TAB 4 0 \u01411\r\n");
  EXPECT_EQ(run.vendor.calls, (std::vector<std::string>{"open PLANT"}));
  EXPECT_EQ(run.rs.ControllerHandle[1], 0);
  EXPECT_TRUE(run.rs.AnyFailure);
  const int lost[] = {5, 0, 7, 0, 11};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(run.rs.TagTable[i].TagLostLine, lost[i]) << i;
}

}  // namespace
}  // namespace hx
