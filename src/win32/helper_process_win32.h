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

}  // namespace hx

#endif  // HX_WIN32_HELPER_PROCESS_WIN32_H_
