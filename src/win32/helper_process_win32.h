// Helper processes on Windows: CreateProcess with the null device for the
// standard streams, a file mapping and two events as the channel (handed to
// the helper through PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inheritable for
// that start alone), and the process handle to see the helper end.  The
// helper is started suspended and joins the program's job before it runs,
// so that the system ends it, and whatever it starts, with the program; it
// also ends itself when it sees the program's end.

#ifndef HX_WIN32_HELPER_PROCESS_WIN32_H_
#define HX_WIN32_HELPER_PROCESS_WIN32_H_

#include <windows.h>

#include <algorithm>

#include "comm/vendor_channel.h"
#include "platform/helper_process.h"

namespace hx {

class Win32HelperLauncher : public HelperLauncher {
 public:
  Win32HelperLauncher();
  ~Win32HelperLauncher() override;
  Win32HelperLauncher(const Win32HelperLauncher&) = delete;
  Win32HelperLauncher& operator=(const Win32HelperLauncher&) = delete;

  std::unique_ptr<HelperProcess> Start(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::string* why) override;

 private:
  HANDLE job_ = nullptr;
};

// Either side's doorbell: an event it sets for the other side and one it
// sleeps on; the other side has ended when its process has.  The program's
// side also wakes for its window messages.  The host's waits without them,
// so that it needs no user32.dll, which a process pays for at its start.
template <bool kWindowMessages>
class EventDoorbell : public Doorbell {
 public:
  EventDoorbell(HANDLE ring, HANDLE wait, HANDLE other_process)
      : ring_(ring), wait_(wait), other_process_(other_process) {}
  void Ring() override { SetEvent(ring_); }
  Woke Wait(std::chrono::milliseconds timeout) override {
    const HANDLE handles[] = {wait_, other_process_};
    const auto ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 0, INFINITE - 1));
    DWORD woke = 0;
    if constexpr (kWindowMessages) {
      woke = MsgWaitForMultipleObjects(2, handles, FALSE, ms, QS_ALLINPUT);
    } else {
      woke = WaitForMultipleObjects(2, handles, FALSE, ms);
    }
    if (woke == WAIT_OBJECT_0) return Woke::kRung;
    if (woke == WAIT_OBJECT_0 + 1) return Woke::kOtherEnded;
    return Woke::kNothing;
  }

 private:
  HANDLE ring_;
  HANDLE wait_;
  HANDLE other_process_;
};

}  // namespace hx

#endif  // HX_WIN32_HELPER_PROCESS_WIN32_H_
