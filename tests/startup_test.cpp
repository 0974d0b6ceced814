// The built program started as a user or a scheduler would start it.

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/program_folder.h"

namespace hx::testing {
namespace {

const char kLoggingReport[] =
    "[SETUP]\r\n"
    "LOGIT=TRUE\r\n"
    "LOGFILENAME=RUN.LOG\r\n"
    "PortraitLines=60\r\n"
    "[REPORT]\r\n"
    "first line\r\n"
    "second line\r\n";

TEST(StartupTest, WithoutDefinitionFileOneFormLoadErrorAndNothingWritten) {
  ProgramFolder folder;
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.err.find("HX_RPT Error Handler: Error: 53  \nFile not found in: FormLoad\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("Error:", run.err.find("Error:") + 1), std::string::npos)
      << "exactly one error expected: " << run.err;
}

TEST(StartupTest, WithoutShowItEndsByItselfCleanly) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", kLoggingReport);
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err;
}

TEST(StartupTest, HeadlessWithShowItStillEnds) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nSHOWIT=TRUE\r\n") + (kLoggingReport + 9));
  ProgramRun run = folder.Run(std::chrono::seconds(30));
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
}

// A copy that holds the window open (an explicitly chosen platform, so the
// program does not end by itself) makes a second start end at once, without
// reading or writing anything; once the first copy is gone, even killed, the
// program starts again.
TEST(StartupTest, SecondCopyEndsSilentlyAndAKilledCopyDoesNotBlock) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", std::string("[SETUP]\r\nSHOWIT=TRUE\r\n") + (kLoggingReport + 9));
  folder.env["QT_QPA_PLATFORM"] = "offscreen";
  const pid_t first = folder.Start();
  const std::string report = "first line\r\nsecond line\r\n";
  for (int i = 0; i < 1500 && folder.Read("RUN.LOG") != report; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(folder.Read("RUN.LOG"), report);

  ProgramRun second = folder.Run(std::chrono::seconds(30));
  EXPECT_FALSE(second.timed_out);
  EXPECT_EQ(second.exit_status, 0);
  EXPECT_EQ(second.err.find("Error"), std::string::npos) << second.err;
  EXPECT_EQ(folder.Read("RUN.LOG"), report);

  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  folder.Write("HX_RPT.INI", kLoggingReport);
  ProgramRun third = folder.Run(std::chrono::seconds(30));
  EXPECT_FALSE(third.timed_out);
  EXPECT_EQ(third.exit_status, 0) << third.err;
}

}  // namespace
}  // namespace hx::testing
