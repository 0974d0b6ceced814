#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <charconv>

#include "host/vendor_host.h"
#include "posix/helper_process_posix.h"

namespace hx {

namespace {

class PosixHostChannel : public HostChannel {
 public:
  PosixHostChannel(ChannelRegion* region, int bell) : region_(region), bell_(bell) {}
  ChannelRegion& region() override { return *region_; }
  Doorbell& bell() override { return bell_; }

 private:
  ChannelRegion* region_;
  SocketDoorbell bell_;
};

bool Number(const std::string& text, long& n) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

// The arguments: the descriptor of the shared memory, the descriptor of the
// socket, the program's process id.
std::unique_ptr<HostChannel> OpenHostChannel(const std::vector<std::string>& arguments) {
  long region_fd = -1, bell = -1, program = -1;
  if (arguments.size() != 3 || !Number(arguments[0], region_fd) || !Number(arguments[1], bell) ||
      !Number(arguments[2], program))
    return nullptr;
  // The host ends with the program, even in the middle of a call that never
  // returns; a program that ended before the host could ask has left it to
  // another parent.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != static_cast<pid_t>(program)) return nullptr;

  // Nothing the library starts inherits the channel: a program it runs
  // closes the socket, and a copy of this process gets no share of the memory.
  void* mapped = mmap(nullptr, sizeof(ChannelRegion), PROT_READ | PROT_WRITE, MAP_SHARED,
                      static_cast<int>(region_fd), 0);
  close(static_cast<int>(region_fd));
  if (mapped == MAP_FAILED) return nullptr;
  madvise(mapped, sizeof(ChannelRegion), MADV_DONTFORK);
  fcntl(static_cast<int>(bell), F_SETFD, FD_CLOEXEC);
  return std::make_unique<PosixHostChannel>(static_cast<ChannelRegion*>(mapped),
                                            static_cast<int>(bell));
}

}  // namespace hx
