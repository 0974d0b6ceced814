// The built program started as a user or a scheduler would start it.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
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
// Standard error stays empty whatever the environment says: without a
// runtime folder, or with a locale that names no language.
TEST(StartupTest, WithoutShowItEndsByItselfCleanly) {
  struct Case {
    const char* name;
    std::function<void(ProgramFolder&)> environment;
  };
  const Case cases[] = {
      {"runtime folder given", [](ProgramFolder&) {}},
      {"no runtime folder", WithoutRuntimeFolder},
      {"LANG no locale", [](ProgramFolder& f) { f.env["LANG"] = "garbage!!@@"; }},
      {"LC_ALL no locale", [](ProgramFolder& f) { f.env["LC_ALL"] = "english"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    c.environment(folder);
    folder.Write("HX_RPT.INI", LoggingReport(true));
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

    // Another temporary folder, as another account's may be: still the second copy.
    std::filesystem::create_directory(folder.File("tmp2"));
    folder.env["TMPDIR"] = folder.File("tmp2");
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

// Every account's copy finds the one lock: a copy that one account runs
// makes a start under another the second copy; once it is gone, the other
// account's copy runs on the lock file that the first one left behind.
TEST(StartupTest, CopiesOfDifferentAccountsSeeEachOther) {
  if (geteuid() != 0) GTEST_SKIP() << "starting a copy under another account takes root";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  const ProgramFolder::User other{nobody->pw_uid, nobody->pw_gid};
  for (bool other_first : {true, false}) {
    SCOPED_TRACE(other_first ? "the other account's copy first" : "root's copy first");
    ProgramFolder folder;
    // The log where either account may write it; each account's runtime
    // folder its own.
    const auto definition = [&](bool showit, const std::string& log) {
      return std::string("[SETUP]\r\n") + (showit ? "SHOWIT=TRUE\r\n" : "") +
             "LOGIT=TRUE\r\nLOGFILEPATH=" + folder.File("tmp") + "\r\nLOGFILENAME=" + log +
             "\r\nPortraitLines=60\r\n[REPORT]\r\nfirst line\r\nsecond line\r\n";
    };
    folder.Write("HX_RPT.INI", definition(true, "RUN.LOG"));
    folder.env["QT_QPA_PLATFORM"] = "offscreen";
    folder.env["XDG_RUNTIME_DIR"] = "";
    if (other_first) folder.user = other;
    KillAtExit first(folder.Start());
    for (int i = 0; i < 1500 && folder.Read("tmp/RUN.LOG") != kLogged; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(folder.Read("tmp/RUN.LOG"), kLogged);

    if (other_first) {
      folder.user.reset();
    } else {
      folder.user = other;
    }
    ProgramRun second = folder.Run(std::chrono::seconds(30));
    EXPECT_FALSE(second.timed_out);
    EXPECT_EQ(second.exit_status, 2);
    EXPECT_EQ(second.err, "");

    first.Now();
    folder.Write("HX_RPT.INI", definition(false, "THIRD.LOG"));
    folder.env["QT_QPA_PLATFORM"] = "";
    ProgramRun third = folder.Run(std::chrono::seconds(30));
    EXPECT_FALSE(third.timed_out);
    EXPECT_EQ(third.exit_status, 0) << third.err;
    EXPECT_EQ(third.err, "");
    EXPECT_EQ(folder.Read("tmp/THIRD.LOG"), kLogged);
  }
}

// Nothing put where the lock belongs (a link, a pipe) is taken for it or
// waited on: the report is made, and standard error says that the check
// could not be made, naming the account that put it there.
TEST(StartupTest, SomethingPutWhereTheLockBelongsIsNotTaken) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> put;
  };
  const Case cases[] = {
      {"link",
       [](const std::string& lock) { std::filesystem::create_symlink(lock + ".elsewhere", lock); }},
      {"pipe", [](const std::string& lock) { ASSERT_EQ(mkfifo(lock.c_str(), 0666), 0); }},
  };
  const passwd* nobody = getpwnam("nobody");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    folder.Write("HX_RPT.INI", LoggingReport());
    const std::string lock = folder.File("tmp/HX_RPT.lock");
    c.put(lock);
    const bool by_another = geteuid() == 0 && nobody != nullptr;
    if (by_another) {
      ASSERT_EQ(lchown(lock.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    ProgramRun run = folder.Run(std::chrono::seconds(30));
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
    EXPECT_EQ(run.err.rfind("HX_RPT: no lock for the single-copy check (" + lock + ": ", 0), 0u)
        << run.err;
    EXPECT_NE(run.err.find(by_another ? "; it belongs to nobody); starting anyway\n"
                                      : "); starting anyway\n"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(lock + ".elsewhere"));
  }
}

// A link planted where the private runtime folder belongs is not followed,
// and a folder another account made there is not taken: the run makes one
// of its own, removed again at its end, and standard error stays empty.
TEST(StartupTest, SomethingPutWhereTheRuntimeFolderBelongsIsNotTaken) {
  const passwd* nobody = getpwnam("nobody");
  struct Case {
    const char* name;
    bool needs_root;
    std::function<void(ProgramFolder&)> put;
  };
  const Case cases[] = {
      {"link", false,
       [](ProgramFolder& folder) {
         std::filesystem::create_directory(folder.File("elsewhere"));
         std::filesystem::create_directory_symlink(folder.File("elsewhere"),
                                                   PrivateRuntimeFolder(folder));
       }},
      {"another account's folder", true,
       [&](ProgramFolder& folder) {
         std::filesystem::create_directory(PrivateRuntimeFolder(folder));
         ASSERT_EQ(chown(PrivateRuntimeFolder(folder).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
       }},
  };
  for (const Case& c : cases) {
    if (c.needs_root && (geteuid() != 0 || nobody == nullptr)) continue;
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    WithoutRuntimeFolder(folder);
    c.put(folder);
    folder.Write("HX_RPT.INI", LoggingReport());
    ProgramRun run = folder.Run(std::chrono::seconds(30));
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
    if (std::filesystem::exists(folder.File("elsewhere"))) {
      EXPECT_TRUE(std::filesystem::is_empty(folder.File("elsewhere")));
    }
    size_t left = 0;
    const std::string own = "HX_RPT-" + std::to_string(geteuid()) + ".";
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("tmp")))
      left += entry.path().filename().string().starts_with(own);
    EXPECT_EQ(left, 0u) << "the run's own runtime folder is left behind";
  }
}

// Without a place for the single-copy lock the program cannot tell whether
// another copy runs; a scheduled report must not silently go missing for that.
// Nor must a runtime folder that cannot be had: the program says so once,
// in its own words.
TEST(StartupTest, NoPlaceForTheLockStillProducesTheReport) {
  ProgramFolder folder;
  folder.Write("HX_RPT.INI", LoggingReport());
  folder.env["XDG_RUNTIME_DIR"] = "";
  // Refuses new entries to everyone, root included.
  folder.env["TMPDIR"] = folder.env["HX_LOCK_FOLDER"] = "/sys";
  ProgramRun run = folder.Run(std::chrono::seconds(30));
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(folder.Read("RUN.LOG"), kLogged);
  EXPECT_EQ(std::regex_replace(run.err, std::regex(R"(\(.*\))"), "(...)"),
            "HX_RPT: no lock for the single-copy check (...); starting anyway\n"
            "HX_RPT: no runtime folder of its own in /sys (...); the display libraries use one "
            "of their own\n");
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
