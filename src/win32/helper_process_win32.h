// Helper processes on Windows: CreateProcess with a pipe for standard input
// and an overlapped named pipe for standard output, so that the wait for an
// answer is one wait on the pipe, the process and the window messages.  A
// job object ends the helpers with the program, however it ends.

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
  int started_ = 0;
};

}  // namespace hx

#endif  // HX_WIN32_HELPER_PROCESS_WIN32_H_
