// The built program started as a user or a scheduler would start it.

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/program_folder.h"

namespace hx::testing {
namespace {

std::string LoggingReport(bool showit = false, bool printit = false) {
  return std::string("[SETUP]\r\n") + (showit ? "SHOWIT=TRUE\r\n" : "") +
         (printit ? "PRINTIT=TRUE\r\n" : "") +
         "LOGIT=TRUE\r\n"
         "LOGFILENAME=RUN.LOG\r\n"
         "PortraitLines=60\r\n"
         "[REPORT]\r\n"
         "first line\r\n"
         "second line\r\n";
}

const char kLogged[] = "first line\r\nsecond line\r\n";

// An environment without a runtime folder of its own, as a scheduler or a
// service starts the program; its temporary folder is the test's own.
void WithoutRuntimeFolder(ProgramFolder& folder) {
  folder.env["XDG_RUNTIME_DIR"] = "";
  std::filesystem::create_directory(folder.File("tmp"));
  folder.env["TMPDIR"] = folder.File("tmp");
}

std::string PrivateRuntimeFolder(const ProgramFolder& folder) {
  return folder.File("tmp/HX_RPT-" + std::to_string(geteuid()));
}

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
  // Off screen, Qt's remarks on window operations stay out of the trace.
  EXPECT_EQ(run.err.find("This plugin does not support"), std::string::npos) << run.err;
}

// A definition file that is there but cannot be opened is not "not found".
TEST(StartupTest, UnreadableDefinitionFileIsAnAccessError) {
  struct Case {
    const char* name;
    bool root_reads_it;  // permission bits stop no one when the tests run as root
    std::function<void(ProgramFolder&)> prepare;
  };
  const Case cases[] = {
      {"link to itself", false,
       [](ProgramFolder& folder) {
         std::filesystem::create_symlink("HX_RPT.INI", folder.File("HX_RPT.INI"));
       }},
      {"no read permission", true,
       [](ProgramFolder& folder) {
         folder.Write("HX_RPT.INI", LoggingReport());
         std::filesystem::permissions(folder.File("HX_RPT.INI"), std::filesystem::perms::none);
       }},
  };
  for (const Case& c : cases) {
    if (c.root_reads_it && geteuid() == 0) continue;
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    c.prepare(folder);
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_NE(run.err.find("HX_RPT Error Handler: Error: 75  \n"
                           "Path/File access error in: FormLoad\n"),
              std::string::npos)
        << run.err;
  }
}

// A clean unattended run says nothing on standard error, also where the
// environment gives it no runtime folder (Qt would remark on that).
TEST(StartupTest, WithoutShowItEndsByItselfCleanly) {
  for (bool runtime_folder : {true, false}) {
    SCOPED_TRACE(runtime_folder ? "runtime folder given" : "no runtime folder");
    ProgramFolder folder;
    if (!runtime_folder) WithoutRuntimeFolder(folder);
    folder.Write("HX_RPT.INI", LoggingReport());
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
  }
}

// Standard error that cannot be written (its reader gone, a full device, not
// open at all) costs nothing: the report is logged whole, and the exit
// status is the run's own, also when there was a message to show (printing
// without a printer).
TEST(StartupTest, StandardErrorThatCannotBeWrittenCostsNothing) {
  using Out = ProgramFolder::ErrorOutput;
  const struct {
    const char* name;
    Out out;
  } outputs[] = {{"reader gone", Out::kReaderGone},
                 {"full device", Out::kFullDevice},
                 {"closed", Out::kClosed}};
  for (const auto& output : outputs) {
    for (bool printit : {false, true}) {
      SCOPED_TRACE(std::string(output.name) + (printit ? ", printing" : ""));
      ProgramFolder folder;
      WithoutRuntimeFolder(folder);
      folder.error_output = output.out;
      folder.Write("HX_RPT.INI", LoggingReport(false, printit));
      ProgramRun run = folder.Run();
      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(run.exit_status, printit ? 1 : 0);
      EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
    }
  }
}

// Without a display, or with one inherited that no longer answers, the
// report is produced off screen and the program ends by itself.
TEST(StartupTest, HeadlessWithShowItStillEnds) {
  for (const char* display : {"", ":97"}) {
    SCOPED_TRACE(display);
    ProgramFolder folder;
    folder.env["DISPLAY"] = display;
    folder.Write("HX_RPT.INI", LoggingReport(true));
    ProgramRun run = folder.Run(std::chrono::seconds(30));
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
  }
}

// A copy that holds the window open (an explicitly chosen platform, so the
// program does not end by itself) makes a second start end at once, without
// reading or writing anything; once the first copy is gone, even killed, the
// program starts again.  Without a runtime folder from the environment the
// lock lies in a private folder that every run of the user finds again.
TEST(StartupTest, SecondCopyEndsSilentlyAndAKilledCopyDoesNotBlock) {
  for (bool runtime_folder : {true, false}) {
    SCOPED_TRACE(runtime_folder ? "runtime folder given" : "no runtime folder");
    ProgramFolder folder;
    if (!runtime_folder) WithoutRuntimeFolder(folder);
    folder.Write("HX_RPT.INI", LoggingReport(true));
    folder.env["QT_QPA_PLATFORM"] = "offscreen";
    KillAtExit first(folder.Start());
    for (int i = 0; i < 1500 && folder.Read("RUN.LOG") != kLogged; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(folder.Read("RUN.LOG"), kLogged);
    if (!runtime_folder) {
      EXPECT_EQ(std::filesystem::status(PrivateRuntimeFolder(folder)).permissions(),
                std::filesystem::perms::owner_all);
    }

    ProgramRun second = folder.Run(std::chrono::seconds(30));
    EXPECT_FALSE(second.timed_out);
    EXPECT_EQ(second.exit_status, 2);  // no report from this start
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);

    first.Now();
    folder.Write("HX_RPT.INI", LoggingReport());
    ProgramRun third = folder.Run(std::chrono::seconds(30));
    EXPECT_FALSE(third.timed_out);
    EXPECT_EQ(third.exit_status, 0) << third.err;
  }
}

// A link planted where the private runtime folder belongs is not followed:
// the lock does not go where someone else points it, and the report is made.
TEST(StartupTest, LinkPlantedForTheRuntimeFolderIsNotFollowed) {
  ProgramFolder folder;
  WithoutRuntimeFolder(folder);
  std::filesystem::create_directory(folder.File("elsewhere"));
  std::filesystem::create_directory_symlink(folder.File("elsewhere"), PrivateRuntimeFolder(folder));
  folder.Write("HX_RPT.INI", LoggingReport());
  ProgramRun run = folder.Run(std::chrono::seconds(30));
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("elsewhere")));
}

// Without a place for the single-copy lock the program cannot tell whether
// another copy runs; a scheduled report must not silently go missing for that.
TEST(StartupTest, NoPlaceForTheLockStillProducesTheReport) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", LoggingReport());
  folder.env["XDG_RUNTIME_DIR"] = "";
  folder.env["TMPDIR"] = "/sys";  // refuses new entries to everyone, root included
  ProgramRun run = folder.Run(std::chrono::seconds(30));
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
}

// The folder name reaches the file system byte for byte, so a program
// folder named in an 8-bit code page still finds its definition file and
// logs beside it.
TEST(StartupTest, FolderNamedInAnEightBitCodePage) {
  ProgramFolder folder("Anlage\xe4");
  folder.Write("HX_RPT.INI", LoggingReport());
  ProgramRun run = folder.Run(std::chrono::seconds(30));
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
}

}  // namespace
}  // namespace hx::testing
