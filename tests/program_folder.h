// A private program folder for running the built HX_RPT as a user would:
// a copy of the executable and the stand-in vendor libraries in a fresh
// temporary folder, with its own definition file, log, runtime folder,
// temporary folder (for the single-instance lock) and home.  Runs are
// headless and, unless a test brings its own print server, see no printer
// at all.

#ifndef HX_TESTS_PROGRAM_FOLDER_H_
#define HX_TESTS_PROGRAM_FOLDER_H_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hx::testing {

struct ProgramRun {
  int exit_status = -1;  // 128 + signal number when killed by a signal
  bool timed_out = false;
  std::string err;        // standard error (empty unless it went to a file)
  long peak_rss_kib = 0;  // peak resident memory of the process
  double seconds = 0;     // wall-clock time from start to end
  // With ErrorOutput::kPipe, how long the pipe stayed open after the
  // program's end; 2 when it was still open then.
  double pipe_open_after_end = 0;
};

class ProgramFolder {
 public:
  // The folder gets the given name inside a fresh temporary one, or is that
  // temporary folder itself when the name is empty.  The program comes from
  // this build, or from the build folder `from` names (another build's bin).
  explicit ProgramFolder(const std::string& name = "", const std::string& from = "");
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;  // "" when missing

  // Environment of every run; tests add or override entries (an empty value unsets).
  std::map<std::string, std::string> env;

  // Where the program's standard error goes: a file that ProgramRun::err
  // reads back, or somewhere nothing can be written; or, with its standard
  // output, into a pipe read to its end, as `HX_RPT 2>&1 | cat` has them
  // (ProgramRun::err is what came through, and Run waits up to 2 s after
  // the program's end for the pipe to close).
  enum class ErrorOutput { kFile, kReaderGone, kFullDevice, kClosed, kPipe };
  ErrorOutput error_output = ErrorOutput::kFile;

  // The account the program runs under, when not this process's (setpriv
  // switches to it, which takes root).  The folder is then open to it.
  struct User {
    uid_t uid;
    gid_t gid;
  };
  std::optional<User> user;

  // The program the folder's runs start, and its arguments: HX_RPT unless a
  // test runs HX_CHECK.
  std::string program = "HX_RPT";
  std::vector<std::string> arguments;

  ProgramRun Run(std::chrono::seconds timeout = std::chrono::seconds(60)) const;
  // Starts the program without waiting; stdout/stderr go to files in the
  // folder (with ErrorOutput::kPipe, *pipe is the reading end of theirs).
  pid_t Start(int* pipe = nullptr) const;

 private:
  std::string root_;  // the temporary folder, removed with the object
  std::string path_;
};

// Kills and reaps a program started with ProgramFolder::Start, at the
// latest when the test leaves the scope, so that a failed assertion leaves
// no process behind.
class KillAtExit {
 public:
  explicit KillAtExit(pid_t pid) : pid_(pid) {}
  ~KillAtExit() { Now(); }
  KillAtExit(const KillAtExit&) = delete;
  KillAtExit& operator=(const KillAtExit&) = delete;

  void Now();
  // Waits for the program to end by itself; its exit status, 128 + the
  // signal number when a signal ended it.
  int Wait();

 private:
  pid_t pid_;  // -1 once reaped
};

// Runs a shell command, returning its exit status.
int Shell(const std::string& command);

// The source tree, as the build knows it.
std::string SourceDir();

}  // namespace hx::testing

#endif  // HX_TESTS_PROGRAM_FOLDER_H_
