// What the log and the paper get, byte for byte: every log line handed to
// the system in one write, and the characters of the definition file in the
// encoding it was written in.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "testing/test_files.h"
#include "tests/print_server.h"
#include "tests/program_folder.h"

namespace hx::testing {
namespace {

// A line cut in two writes leaves half a line behind when the process is
// ended between them, and the next run's first line is glued to it.
TEST(LogTextTest, EveryLogLineIsOneWrite) {
  if (Shell("strace -qq -o /dev/null true 2>/dev/null") != 0)
    GTEST_SKIP() << "strace cannot trace processes on this machine";
  ProgramFolder folder;
  const std::string wide(10000, 'w');
  folder.Write("HX_RPT.INI",
               "[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\nPortraitLines=60\r\n"
               "[REPORT]\r\n" +
                   wide + "\r\nshort\r\n");
  // The program runs under strace, which lists the calls on the log file;
  // its own folder is still the one that holds it.
  namespace fs = std::filesystem;
  fs::rename(folder.File("HX_RPT"), folder.File("HX_RPT.bin"));
  folder.Write("HX_RPT", "#!/bin/sh\nexec strace -f -qq -o strace.txt -P " + folder.File("R.LOG") +
                             " -e trace=write ./HX_RPT.bin\n");
  fs::permissions(folder.File("HX_RPT"), fs::perms::owner_all);

  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(folder.Read("R.LOG") == wide + "\r\nshort\r\n");
  std::vector<std::string> written;
  std::istringstream trace(folder.Read("strace.txt"));
  const std::regex write(R"(write\(\d+, .*, (\d+)\) += (\d+))");
  for (std::string line; std::getline(trace, line);) {
    std::smatch m;
    if (std::regex_search(line, m, write)) written.push_back(m[1].str() + "=" + m[2].str());
  }
  EXPECT_EQ(written, (std::vector<std::string>{"10002=10002", "7=7"})) << folder.Read("strace.txt");
}

// The same template in Windows-1252 and in UTF-8, with and without the byte
// order mark: the log keeps the file's encoding, in its name too, the paper
// shows the same characters, and a text display is as wide as its texts have
// characters.
TEST(LogTextTest, TheCodePageOfTheDefinitionFile) {
  const std::string cp1252 =
      "\xB0"
      "C \xB5S/cm m\xB3/h caf\xE9 \x96 \x80";
  const std::string utf8 = "\u00B0C \u00B5S/cm m\u00B3/h caf\u00E9 \u2013 \u20AC";
  struct Case {
    std::string name, mark, degree_etc, open, log;
  };
  const Case cases[] = {
      {"Windows-1252", "", cp1252,
       "GE\xD6"
       "FF",
       "PR\xDC"
       "F.LOG"},
      {"UTF-8", "", utf8, "GE\u00D6FF", "PR\u00DCF.LOG"},
      {"UTF-8 with the mark", "\xEF\xBB\xBF", utf8, "GE\u00D6FF", "PR\u00DCF.LOG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintServer server;
    ProgramFolder folder;
    folder.env["CUPS_SERVER"] = server.socket();
    folder.Write("LUMOCOM.SIM", "[PLANT]\n^COUNT=17\n~PUMP=0\n");
    folder.Write("HX_RPT.INI",
                 c.mark + "[SETUP]\r\nPRINTIT=TRUE\r\nLOGIT=TRUE\r\nLOGFILENAME=" + c.log +
                     "\r\nPortraitLines=60\r\n[CONTROLLERS]\r\n1=PLANT\r\n[TAGS]\r\n"
                     "0 1 IV COUNT 4 0\r\n1 1 DP PUMP " +
                     c.open + " ZU\r\n[REPORT]\r\n" + c.degree_etc + " |\\0  |\\1\r\n");
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(folder.Read(c.log), c.degree_etc + " |  17|ZU   \r\n");
    // pdftotext reads the paper back in UTF-8 and may space it differently.
    std::string printed = server.PrintedText();
    printed.erase(std::unique(printed.begin(), printed.end(),
                              [](char a, char b) { return a == ' ' && b == ' '; }),
                  printed.end());
    EXPECT_NE(printed.find(utf8 + " | 17|ZU"), std::string::npos) << printed;
  }
}

// A site's own letters in the definition file, in UTF-8, UTF-16 or the
// site's code page: the controller gets the tag's name in the program's code
// page, the log keeps the file's encoding (UTF-8 for UTF-16), and a name or
// table index the code page cannot hold is never sent with a "?" in it
// (which would read another symbol, another element, or none).
TEST(LogTextTest, ASiteWritesInItsOwnLanguage) {
  const std::string smena_1251 = "\xD1\xCC\xC5\xCD\xC0";             // СМЕНА
  const std::string petrov_1251 = "\xC8. \xCF\xC5\xD2\xD0\xCE\xC2";  // И. ПЕТРОВ
  const std::string zaloga_1250 = "ZA\xA3OGA";                       // ZAŁOGA
  auto definition = [](const std::string& smena, const std::string& zaloga,
                       const std::string& template_text, const std::string& index = "1") {
    return "[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\nPortraitLines=60\r\n"
           "[CONTROLLERS]\r\n1=PLANT\r\n"
           "[TAGS]\r\n0 1 SV " +
           smena + " 10\r\n1 1 SV " + zaloga + " 4\r\n2 1 IT LEVELS 2 0 " + index +
           "\r\n[REPORT]\r\n" + template_text + " \\0          |\\1    |\\2 |\r\n";
  };
  const std::string russian_utf8 =
      definition("\u0421\u041C\u0415\u041D\u0410", "ZA\u0141OGA", "\u0421\u043C\u0435\u043D\u0430");
  const std::string levels = "send 1 25  1 }LEVELS TABLE@ EMITL86\n";
  const std::string russian_journal = "send 1 14  *" + smena_1251 + " PRINT$\n" + levels;
  const std::string russian_log =
      "\u0421\u043C\u0435\u043D\u0430 \u0418. \u041F\u0415\u0422\u0420\u041E\u0412   |????  |55 "
      "|\r\n";
  const std::string zaloga_lost =
      "HX_RPT.INI line 9: tag 1: its name or table index holds a character that Windows-1251 "
      "lacks; it is not queried";
  struct Case {
    std::string name, locale, file, journal, log;
    int status;
    std::string err;  // what standard error says, among other things
  };
  const Case cases[] = {
      {"Russian site, UTF-8 file", "ru_RU.UTF-8", russian_utf8, russian_journal, russian_log, 1,
       zaloga_lost},
      {"Russian site, file in Windows-1251", "ru_RU.UTF-8",
       definition(smena_1251, "ZALOGA", "\xD1\xEC\xE5\xED\xE0"),
       "send 1 14  *" + smena_1251 + " PRINT$\nsend 1 15  *ZALOGA PRINT$\n" + levels,
       "\xD1\xEC\xE5\xED\xE0 " + petrov_1251 + "   |7     |55 |\r\n", 0, ""},
      {"Polish site, UTF-8 file", "pl_PL.UTF-8",
       definition("\u0421\u041C\u0415\u041D\u0410", "ZA\u0141OGA", "Zmiana"),
       "send 1 15  *" + zaloga_1250 + " PRINT$\n" + levels, "Zmiana ??????????  |12    |55 |\r\n",
       1,
       "HX_RPT.INI line 8: tag 0: its name or table index holds a character that Windows-1250 "
       "lacks; it is not queried"},
      // The index "\u01411" would be sent as element 0, "?1" not being a number.
      {"Russian site, UTF-8 file, a table index the code page cannot hold", "ru_RU.UTF-8",
       definition("\u0421\u041C\u0415\u041D\u0410", "ZALOGA", "\u0421\u043C\u0435\u043D\u0430",
                  "\u01411"),
       "send 1 14  *" + smena_1251 + " PRINT$\nsend 1 15  *ZALOGA PRINT$\n",
       "\u0421\u043C\u0435\u043D\u0430 \u0418. \u041F\u0415\u0422\u0420\u041E\u0412   |7     "
       "|?? |\r\n",
       1,
       "HX_RPT.INI line 10: tag 2: its name or table index holds a character that Windows-1251 "
       "lacks; it is not queried"},
      // Saved as "Unicode": read as the UTF-8 file is, logged in UTF-8.
      {"Russian site, UTF-16 LE file", "ru_RU.UTF-8", Utf16File(russian_utf8, false),
       russian_journal, russian_log, 1, zaloga_lost},
      {"Russian site, UTF-16 BE file", "ru_RU.UTF-8", Utf16File(russian_utf8, true),
       russian_journal, russian_log, 1, zaloga_lost},
      // One stray byte: read byte for byte as before, and said so.
      {"Russian site, UTF-8 file with one stray byte", "ru_RU.UTF-8", "; \xFF\r\n" + russian_utf8,
       "send 1 19  *\xD0\xA1\xD0\x9C\xD0\x95\xD0\x9D\xD0\x90 PRINT$\n"
       "send 1 16  *ZA\xC5\x81OGA PRINT$\n" +
           levels,
       "\u0421\u043C\u0435\u043D\u0430 ?TAG??????  |?TAG  |55 |\r\n", 1,
       "HX_RPT: HX_RPT.INI is read byte for byte in Windows-1251, although most of it is UTF-8: "
       "line 1, column 3 holds a byte that is not; saved as UTF-8 throughout, it would be read "
       "as UTF-8\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    folder.env["LC_ALL"] = c.locale;
    folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
    folder.Write("LUMOCOM.SIM", "[PLANT]\n*" + smena_1251 + "=" + petrov_1251 + "\n*" +
                                    zaloga_1250 + "=12\n*ZALOGA=7\n}LEVELS(0)=99\n}LEVELS(1)=55\n");
    folder.Write("HX_RPT.INI", c.file);
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, c.status) << run.err;
    EXPECT_EQ(folder.Read("R.LOG"), c.log);
    std::string sent;
    std::istringstream journal(folder.Read("journal.txt"));
    for (std::string line; std::getline(journal, line);)
      if (line.starts_with("send ")) sent += line + "\n";
    EXPECT_EQ(sent, c.journal);
    EXPECT_EQ(run.err.find(c.err) != std::string::npos, true) << run.err;
  }
}

}  // namespace
}  // namespace hx::testing
