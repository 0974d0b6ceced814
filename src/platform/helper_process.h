// A helper process of the program's: an executable beside it, started by the
// program and spoken to through its standard input and output.  The vendor
// libraries run in one (comm/hosted_vendor.h), so that a library that
// crashes or never returns ends the helper, never the program.  One
// implementation per platform layer (qt/helper_process_posix.cpp,
// win32/helper_process_win32.cpp); tests use a fake.
//
// Used on the program's single user-interface thread.

#ifndef HX_PLATFORM_HELPER_PROCESS_H_
#define HX_PLATFORM_HELPER_PROCESS_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hx {

class HelperProcess {
 public:
  // Ends the process if it still runs: it is told (its standard input
  // closes) and, failing that within a moment, ended.
  virtual ~HelperProcess() = default;

  // Writes all of data to its standard input; false when it is gone.
  virtual bool Write(std::string_view data) = 0;

  enum class ReadResult { kData, kEnded, kTimedOut };
  // Appends to out what its standard output has, waiting up to timeout for
  // something to come.  While it waits, idle runs every few milliseconds, so
  // that the window keeps answering.  kEnded once the process has closed its
  // output (it ended, or crashed).
  virtual ReadResult Read(std::string& out, std::chrono::milliseconds timeout,
                          const std::function<void()>& idle) = 0;

  // Ends the process at once: a call that never returns is not waited for.
  virtual void Kill() = 0;

  // How the process ended, for a message ("exit status 3", "signal 11");
  // empty while it runs.
  virtual std::string Ending() = 0;
};

class HelperLauncher {
 public:
  virtual ~HelperLauncher() = default;
  // Starts program (a path as the file system spells it) with arguments;
  // null, and why in *why, when it cannot be started.
  virtual std::unique_ptr<HelperProcess> Start(const std::string& program,
                                               const std::vector<std::string>& arguments,
                                               std::string* why) = 0;
};

// The system's launcher: HX_RPT's and HX_CHECK's (qt/helper_process_posix.cpp,
// win32/helper_process_win32.cpp).
std::unique_ptr<HelperLauncher> SystemHelperLauncher();

}  // namespace hx

#endif  // HX_PLATFORM_HELPER_PROCESS_H_
