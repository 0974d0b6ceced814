// Helper processes on POSIX systems: posix_spawn with the null device for
// the standard streams, a shared memory object and a socket pair as the
// channel, and a process descriptor (pidfd) to see the helper end.

#ifndef HX_POSIX_HELPER_PROCESS_POSIX_H_
#define HX_POSIX_HELPER_PROCESS_POSIX_H_

#include <sys/types.h>

#include "comm/vendor_channel.h"
#include "platform/helper_process.h"

namespace hx {

class PosixHelperLauncher : public HelperLauncher {
 public:
  std::unique_ptr<HelperProcess> Start(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::string* why) override;
};

// Either side's doorbell: a byte sent through its end of the socket pair.
// The other side has ended when the socket closes, or, on the program's
// side, as soon as the helper process has ended: seen through its process
// descriptor (pidfd), or failing that (a kernel before 5.3) by asking for
// its end at every wake-up.
class SocketDoorbell : public Doorbell {
 public:
  explicit SocketDoorbell(int socket, int pidfd = -1, pid_t helper = -1)
      : socket_(socket), pidfd_(pidfd), helper_(helper) {}
  void Ring() override;
  Woke Wait(std::chrono::milliseconds timeout) override;

 private:
  bool HelperEnded() const;

  int socket_;
  int pidfd_;
  pid_t helper_;
};

}  // namespace hx

#endif  // HX_POSIX_HELPER_PROCESS_POSIX_H_
