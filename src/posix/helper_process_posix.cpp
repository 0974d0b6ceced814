#include "posix/helper_process_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>

extern char** environ;

namespace hx {

namespace {

using Clock = std::chrono::steady_clock;

// The descriptors the helper finds its channel at, as its command line names them.
constexpr int kRegionDescriptor = 3;
constexpr int kBellDescriptor = 4;

// How long the end of the program waits for a helper to end by itself once
// told, and then for one that was ended: whatever a helper does, the
// program ends soon after its report.
constexpr auto kEndingWait = std::chrono::milliseconds(50);
constexpr auto kKilledWait = std::chrono::milliseconds(10);

int PollTimeout(std::chrono::milliseconds timeout) {
  return static_cast<int>(std::clamp<long long>(timeout.count(), 0, INT_MAX));
}

class PosixHelper : public HelperProcess {
 public:
  PosixHelper(pid_t pid, int pidfd, int bell, ChannelRegion* region)
      : pid_(pid),
        pidfd_(pidfd),
        bell_(bell),
        region_(region),
        doorbell_(bell, pidfd, pid),
        channel_(*region, doorbell_, ChannelEnd::Side::kProgram) {}
  ~PosixHelper() override {
    if (!reaped_) {
      // Told twice: the empty message, and the socket's end.
      channel_.Post({});
      close(bell_);
      bell_ = -1;
      if (!Reap(kEndingWait)) {
        kill(pid_, SIGKILL);
        Reap(kKilledWait);
      }
    }
    if (bell_ >= 0) close(bell_);
    if (pidfd_ >= 0) close(pidfd_);
    munmap(region_, sizeof *region_);
  }
  PosixHelper(const PosixHelper&) = delete;
  PosixHelper& operator=(const PosixHelper&) = delete;

  bool Send(std::string_view message) override { return channel_.Post(message); }

  ReadResult Receive(std::string& answer, std::chrono::milliseconds timeout,
                     const std::function<void()>& idle) override {
    return channel_.Await(answer, Clock::now() + timeout, idle);
  }

  void Kill() override {
    if (reaped_) return;
    kill(pid_, SIGKILL);
    Reap(std::chrono::seconds(1));
  }

  std::string Ending() override {
    // A helper seen to end by its socket alone may take a moment more to
    // leave its exit status.
    if (!Reap(std::chrono::seconds(1))) return "still running";
    if (!status_known_) return "no exit status";
    if (WIFSIGNALED(status_)) return "signal " + std::to_string(WTERMSIG(status_));
    return "exit status " + std::to_string(WEXITSTATUS(status_));
  }

 private:
  // Whether the process has ended and been reaped, waiting up to within for it.
  bool Reap(std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    while (!reaped_) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_ || (done < 0 && errno != EINTR)) {
        reaped_ = true;
        status_known_ = done == pid_;
        status_ = status;
        break;
      }
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) break;
      if (pidfd_ >= 0) {
        pollfd fd{pidfd_, POLLIN, 0};
        poll(&fd, 1, PollTimeout(left));
      } else {
        std::this_thread::sleep_for(
            std::min<std::chrono::milliseconds>(left, std::chrono::milliseconds(1)));
      }
    }
    return reaped_;
  }

  pid_t pid_;
  int pidfd_;
  int bell_;
  ChannelRegion* region_;
  SocketDoorbell doorbell_;
  ChannelEnd channel_;
  bool reaped_ = false;
  bool status_known_ = false;
  int status_ = 0;
};

// fd, moved to a number above the helper's own descriptors, so that setting
// those up in the helper cannot close it first.
int AboveHelpersDescriptors(int fd) {
  if (fd < 0 || fd > kBellDescriptor) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, kBellDescriptor + 1);
  close(fd);
  return moved;
}

}  // namespace

void SocketDoorbell::Ring() {
  const char ring = 1;
  // A full socket already wakes the other side; a closed one has nobody to wake.
  (void)send(socket_, &ring, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
}

bool SocketDoorbell::HelperEnded() const {
  if (helper_ <= 0) return false;
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(helper_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == helper_;
}

Doorbell::Woke SocketDoorbell::Wait(std::chrono::milliseconds timeout) {
  pollfd fds[2] = {{socket_, POLLIN, 0}, {pidfd_, POLLIN, 0}};
  const int ready = poll(fds, pidfd_ >= 0 ? 2 : 1, PollTimeout(timeout));
  if (pidfd_ >= 0 ? fds[1].revents != 0 : HelperEnded()) return Woke::kOtherEnded;
  // A signal is no end of anything.
  if (ready <= 0 || fds[0].revents == 0) return Woke::kNothing;
  char rings[64];
  for (;;) {
    const ssize_t n = recv(socket_, rings, sizeof rings, MSG_DONTWAIT);
    if (n > 0) continue;
    if (n == 0) return Woke::kOtherEnded;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? Woke::kRung : Woke::kOtherEnded;
  }
}

std::unique_ptr<HelperProcess> PosixHelperLauncher::Start(const std::string& program,
                                                          const std::vector<std::string>& arguments,
                                                          std::string* why) {
  auto fail = [&](const char* what) {
    *why = std::string(what) + ": " + std::strerror(errno);
    return nullptr;
  };
  const int region_fd = AboveHelpersDescriptors(memfd_create("HX_VENDOR", MFD_CLOEXEC));
  if (region_fd < 0) return fail("no shared memory");
  void* mapped = MAP_FAILED;
  if (ftruncate(region_fd, sizeof(ChannelRegion)) == 0)
    mapped = mmap(nullptr, sizeof(ChannelRegion), PROT_READ | PROT_WRITE, MAP_SHARED, region_fd, 0);
  if (mapped == MAP_FAILED) {
    auto failed = fail("no shared memory");
    close(region_fd);
    return failed;
  }
  auto* region = static_cast<ChannelRegion*>(mapped);
  int bells[2] = {-1, -1};
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, bells) == 0) {
    bells[1] = AboveHelpersDescriptors(bells[1]);
    if (bells[1] < 0) close(bells[0]);
  }
  if (bells[1] < 0) {
    auto failed = fail("no socket");
    close(region_fd);
    munmap(mapped, sizeof(ChannelRegion));
    return failed;
  }

  // The helper gets the null device for its standard streams and its channel
  // at fixed numbers; every other descriptor is closed, whoever opened it.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, region_fd, kRegionDescriptor);
  posix_spawn_file_actions_adddup2(&actions, bells[1], kBellDescriptor);
  posix_spawn_file_actions_addclosefrom_np(&actions, kBellDescriptor + 1);
  std::vector<std::string> words = {program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  words.push_back(std::to_string(kRegionDescriptor));
  words.push_back(std::to_string(kBellDescriptor));
  words.push_back(std::to_string(getpid()));
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(region_fd);
  close(bells[1]);
  if (error != 0) {
    *why = std::strerror(error);
    close(bells[0]);
    munmap(mapped, sizeof(ChannelRegion));
    return nullptr;
  }
  // Without a process descriptor (a kernel before 5.3) the helper's end is
  // seen when its socket closes, or by asking for it at every wake-up.
  // (glibc 2.36 declares pidfd_open for C alone.)
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  return std::make_unique<PosixHelper>(pid, pidfd, bells[0], region);
}

std::unique_ptr<HelperLauncher> SystemHelperLauncher() {
  return std::make_unique<PosixHelperLauncher>();
}

}  // namespace hx
