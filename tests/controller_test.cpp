// Live values from the simulated plant: what reaches the controllers (the
// stand-in library's journal), what the report shows, and which messages a
// viewer gets.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/program_folder.h"

namespace hx::testing {
namespace {

const char kPlant[] =
    "[PLANTA]\n"
    "^COUNT=17\n"
    "^RESTARTED=!-4,42\n"
    "^SILENT=!-29\n"
    "[PLANTB]\n"
    "@puc=-100\n"
    "~PUMP=1\n";

// Tags: 0 answers, 1 wants a power-up clear first, 2 does not respond, 3 is
// unknown to the controller, 4 sits on a controller whose clear fails but
// whose queries work, 5 on a controller that does not exist.
std::string Definition(bool showit) {
  return std::string("[SETUP]\r\nLOGIT=TRUE\r\nLOGFILENAME=R.LOG\r\nPortraitLines=60\r\n") +
         (showit ? "SHOWIT=TRUE\r\n" : "") +
         "[CONTROLLERS]\r\n1=PLANTA\r\n2=PLANTB\r\n3=NOPE\r\n"
         "[TAGS]\r\n"
         "0 1 IV COUNT 4 0\r\n"
         "1 1 IV RESTARTED 4 0\r\n"
         "2 1 IV SILENT 4 0\r\n"
         "3 1 IV MISSING 4 0\r\n"
         "4 2 DP PUMP ON OFF\r\n"
         "5 3 IV COUNT 4 0\r\n"
         "[REPORT]\r\n"
         "|\\0  |\\1  |\\2  |\\3  |\\4  |\\5  |\r\n";
}

const char kJournal[] =
    "open PLANTA\n"
    "puc 1\n"
    "open PLANTB\n"
    "puc 2\n"
    "open NOPE\n"
    "send 1 18  ^COUNT @@ EMITL86\n"
    "send 1 22  ^RESTARTED @@ EMITL86\n"
    "puc 1\n"
    "send 1 22  ^RESTARTED @@ EMITL86\n"
    "send 1 19  ^SILENT @@ EMITL86\n"
    "send 1 20  ^MISSING @@ EMITL86\n"
    "send 2 34  ~PUMP UNLOCK DIG@I RELOCK EMITL86\n";

// Values, a recovered restart, the two kinds of failure fill, a text
// display, and blanks for the controller that could not be opened.
const char kReport[] = "|  17|  42|????|?TAG|ON  |    |\r\n";

TEST(ControllerTest, EveryExchangeReachesThePlantAndEveryValueTheReport) {
  ProgramFolder folder;
  folder.Write("LUMOCOM.SIM", kPlant);
  folder.Write("HX_RPT.INI", Definition(false));
  folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(folder.Read("journal.txt"), kJournal);
  EXPECT_EQ(folder.Read("R.LOG"), kReport);
  // Failures without SHOWIT are silent, but the exit status tells.
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err.find("Communication Error Message"), std::string::npos) << run.err;
}

TEST(ControllerTest, WithTheWindowEveryCommunicationFailureIsShownOnce) {
  ProgramFolder folder;
  folder.Write("LUMOCOM.SIM", kPlant);
  folder.Write("HX_RPT.INI", Definition(true));
  ProgramRun run = folder.Run();
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(folder.Read("R.LOG"), kReport);
  const std::string expected =
      "Communication Error Message: Comm Port is in use!.\n"
      "The communication port is in use.\n"
      "Communication Error Message: Controller 'NOPE' Not Found.\n"
      "No controller of that name is known.\n"
      "Communication Error Message: Controller 'PLANTA' is not responding.\n"
      "The controller does not respond.\n"
      "Communication Error Message: Error while sending  ^MISSING @@ EMITL86 to 'PLANTA'\n"
      "The controller does not know the symbol or the command.\n";
  std::string shown;
  for (size_t at = run.err.find("Communication Error Message: "); at != std::string::npos;
       at = run.err.find("Communication Error Message: ", at + 1)) {
    size_t second_line_end = run.err.find('\n', run.err.find('\n', at) + 1);
    shown += run.err.substr(at, second_line_end + 1 - at);
  }
  EXPECT_EQ(shown, expected) << run.err;
}

// Without its communication library the program still produces its report:
// each controller line reports the missing library, and no tag is queried.
TEST(ControllerTest, MissingLibraryIsReportedAndTheReportStillRuns) {
  ProgramFolder folder;
  folder.Write("LUMOCOM.SIM", kPlant);
  folder.Write("HX_RPT.INI", Definition(false));
  std::filesystem::remove(folder.File("libLumoCom.so"));
  ProgramRun run = folder.Run();
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(folder.Read("R.LOG"), "|    |    |    |    |    |    |\r\n");
  const std::string report = "HX_RPT Error Handler: Error: 53  \nFile not found in: GetHandle\n";
  size_t reports = 0;
  for (size_t at = run.err.find(report); at != std::string::npos; at = run.err.find(report, at + 1))
    ++reports;
  EXPECT_EQ(reports, 3u) << run.err;
}

}  // namespace
}  // namespace hx::testing
