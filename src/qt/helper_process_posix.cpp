#include "qt/helper_process_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace hx {

namespace {

class PosixHelper : public HelperProcess {
 public:
  PosixHelper(pid_t pid, int to, int from) : pid_(pid), to_(to), from_(from) {}
  ~PosixHelper() override {
    close(to_);
    // A host that is done exits as its input closes, which closes its
    // output; one stuck in a library call is not waited for long.
    pollfd fd{from_, POLLIN, 0};
    char rest[256];
    while (poll(&fd, 1, 1000) > 0 && read(from_, rest, sizeof rest) > 0) {
    }
    close(from_);
    Kill();
  }

  bool Write(std::string_view data) override {
    while (!data.empty()) {
      const ssize_t n = write(to_, data.data(), data.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  ReadResult Read(std::string& out, std::chrono::milliseconds timeout,
                  const std::function<void()>& idle) override {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return ReadResult::kTimedOut;
      pollfd fd{from_, POLLIN, 0};
      const int ready = poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 20)));
      if (ready < 0 && errno != EINTR) return ReadResult::kEnded;
      if (ready > 0) {
        char buffer[65536];
        const ssize_t n = read(from_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return ReadResult::kEnded;
        out.append(buffer, static_cast<size_t>(n));
        return ReadResult::kData;
      }
      if (idle) idle();
    }
  }

  void Kill() override {
    if (Reaped()) return;
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    status_ = status;
    reaped_ = true;
  }

  std::string Ending() override {
    if (!Reaped()) return {};
    if (WIFSIGNALED(status_)) return "signal " + std::to_string(WTERMSIG(status_));
    return "exit status " + std::to_string(WEXITSTATUS(status_));
  }

 private:
  bool Reaped() {
    if (reaped_) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
      reaped_ = true;
    }
    return reaped_;
  }

  pid_t pid_;
  int to_;
  int from_;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace

std::unique_ptr<HelperProcess> PosixHelperLauncher::Start(const std::string& program,
                                                          const std::vector<std::string>& arguments,
                                                          std::string* why) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    *why = std::strerror(errno);
    return nullptr;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    *why = std::strerror(errno);
    close(in[0]);
    close(in[1]);
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<std::string> words = {program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  if (error != 0) {
    *why = std::strerror(error);
    close(in[1]);
    close(out[0]);
    return nullptr;
  }
  return std::make_unique<PosixHelper>(pid, in[1], out[0]);
}

std::unique_ptr<HelperLauncher> SystemHelperLauncher() {
  return std::make_unique<PosixHelperLauncher>();
}

}  // namespace hx
