// Helper processes on POSIX systems: posix_spawn with pipes for standard
// input and output, poll to wait for an answer.

#ifndef HX_QT_HELPER_PROCESS_POSIX_H_
#define HX_QT_HELPER_PROCESS_POSIX_H_

#include "platform/helper_process.h"

namespace hx {

class PosixHelperLauncher : public HelperLauncher {
 public:
  std::unique_ptr<HelperProcess> Start(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::string* why) override;
};

}  // namespace hx

#endif  // HX_QT_HELPER_PROCESS_POSIX_H_
