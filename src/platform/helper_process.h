// A helper process of the program's: an executable beside it, started by the
// program and spoken to one message at a time, each message answered by
// one.  Each vendor library runs in one of its own (comm/hosted_vendor.h), so
// that a library that crashes or never returns ends its helper, never the
// program.
// One implementation per platform layer (posix/helper_process_posix.cpp,
// win32/helper_process_win32.cpp); tests use a fake.
//
// A helper holds nothing of the program's: its standard streams are the
// null device, and the channel it is spoken to through is all it inherits.
// It ends with the program, however the program ends; and whatever the
// helper itself starts, the program never waits for it.
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
  // Tells the process to end and waits a moment for it (at most 60 ms, so
  // that the program ends soon after its report, whatever the helper does);
  // a process still there is then ended.
  virtual ~HelperProcess() = default;

  // Hands message to the process; false when the message is longer than any
  // it takes (a process that is gone is seen by Receive).  An empty message
  // tells it to end.
  virtual bool Send(std::string_view message) = 0;

  enum class ReadResult { kData, kEnded, kTimedOut, kTooLong };
  // Waits up to timeout for the answer to the message sent last and puts it
  // in answer.  While it waits, idle runs every few milliseconds, so that
  // the window keeps answering.  kEnded as soon as the process has ended
  // (it crashed), whatever it started holds; kTooLong when it claims an
  // answer longer than any message is.
  virtual ReadResult Receive(std::string& answer, std::chrono::milliseconds timeout,
                             const std::function<void()>& idle) = 0;

  // Ends the process at once: a call that never returns is not waited for.
  virtual void Kill() = 0;

  // How the process ended, for a message ("exit status 3", "signal 11");
  // "still running" while it runs.
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

// The system's launcher: HX_RPT's and HX_CHECK's (posix/helper_process_posix.cpp,
// win32/helper_process_win32.cpp).
std::unique_ptr<HelperLauncher> SystemHelperLauncher();

}  // namespace hx

#endif  // HX_PLATFORM_HELPER_PROCESS_H_
