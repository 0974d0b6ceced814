#include "tests/program_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace hx::testing {

namespace fs = std::filesystem;

std::string SourceDir() {
  return HX_SOURCE_DIR;
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProgramFolder::ProgramFolder(const std::string& name, const std::string& from) {
  char tmpl[] = "/tmp/hxrun.XXXXXX";
  if (mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = tmpl;
  path_ = name.empty() ? root_ : root_ + "/" + name;
  try {
    fs::create_directories(path_);
    for (const auto& entry : fs::directory_iterator(from.empty() ? HX_PROGRAM_DIR : from)) {
      const std::string file = entry.path().filename().string();
      if (file == "HX_RPT" || file == "HX_VENDOR" || file == "HX_CHECK" ||
          entry.path().extension() == ".so")
        fs::copy_file(entry.path(), path_ + "/" + file);
    }
    fs::create_directories(path_ + "/home");
    fs::create_directories(path_ + "/run");
    fs::permissions(path_ + "/run", fs::perms::owner_all);
    // A temporary folder as /tmp is, open to every user; the single-copy
    // lock lies there too (HX_LOCK_FOLDER), so that runs of tests side by
    // side do not meet.
    fs::create_directories(path_ + "/tmp");
    fs::permissions(path_ + "/tmp", fs::perms::all | fs::perms::sticky_bit);
  } catch (...) {
    std::error_code ec;
    fs::remove_all(root_, ec);
    throw;
  }

  const char* path_var = std::getenv("PATH");
  env["PATH"] = path_var ? path_var : "/usr/bin:/bin";
  env["HOME"] = path_ + "/home";
  env["XDG_RUNTIME_DIR"] = path_ + "/run";
  env["TMPDIR"] = path_ + "/tmp";
  env["HX_LOCK_FOLDER"] = path_ + "/tmp";
  // No print server unless a test starts its own: never the machine's printers.
  env["CUPS_SERVER"] = path_ + "/no-print-server.sock";
  env["LUMOCOM_SIM"] = path_ + "/LUMOCOM.SIM";
  env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1";
  env["UBSAN_OPTIONS"] = "halt_on_error=1:print_stacktrace=1";
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(root_, ec);
}

void ProgramFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ProgramFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t ProgramFolder::Start(int* pipe) const {
  std::vector<std::string> vars;
  for (const auto& [k, v] : env)
    if (!v.empty()) vars.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = File("stdout.txt"), err = File("stderr.txt");
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  // A pipe whose reading end is closed before the program starts: every
  // write to it fails, and raises SIGPIPE.
  int reader_gone[2] = {-1, -1};
  int piped[2] = {-1, -1};
  switch (error_output) {
    case ErrorOutput::kFile:
      posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
      break;
    case ErrorOutput::kReaderGone:
      if (pipe2(reader_gone, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
      close(reader_gone[0]);
      posix_spawn_file_actions_adddup2(&actions, reader_gone[1], 2);
      break;
    case ErrorOutput::kFullDevice:
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/full", O_WRONLY, 0);
      break;
    case ErrorOutput::kClosed:
      posix_spawn_file_actions_addclose(&actions, 2);
      break;
    case ErrorOutput::kPipe:
      if (pipe == nullptr || pipe2(piped, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
      posix_spawn_file_actions_adddup2(&actions, piped[1], 1);
      posix_spawn_file_actions_adddup2(&actions, piped[1], 2);
      break;
  }
  if (user) {
    const fs::perms open_to_all = fs::perms::owner_all | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read |
                                  fs::perms::others_exec;
    for (fs::path dir = path_; dir.string().size() >= root_.size(); dir = dir.parent_path())
      fs::permissions(dir, open_to_all);
  }
  posix_spawn_file_actions_addchdir_np(&actions, path_.c_str());
  // The program starts as a scheduler would start it: every signal with its
  // default action, whatever this test process ignores.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  std::string path = File(program);
  std::vector<std::string> args = {path};
  if (user) {
    args = {"/usr/bin/setpriv",
            "--reuid=" + std::to_string(user->uid),
            "--regid=" + std::to_string(user->gid),
            "--clear-groups",
            "--",
            path};
  }
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (reader_gone[1] >= 0) close(reader_gone[1]);
  if (piped[1] >= 0) {
    close(piped[1]);
    *pipe = piped[0];
  }
  if (rc != 0) throw std::runtime_error("could not start " + program);
  return pid;
}

ProgramRun ProgramFolder::Run(std::chrono::seconds timeout) const {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  int pipe = -1;
  const pid_t pid = Start(&pipe);
  ProgramRun run;
  const auto deadline = start + timeout;
  int status = 0;
  struct rusage usage {};
  std::string piped;
  auto drain = [&] {
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(pipe, buffer, sizeof buffer)) > 0)
      piped.append(buffer, static_cast<size_t>(n));
    return n == 0;  // closed by every writer
  };
  if (pipe >= 0) fcntl(pipe, F_SETFL, O_NONBLOCK);
  for (;;) {
    if (pipe >= 0) drain();
    pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (Clock::now() > deadline) {
      run.timed_out = true;
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const auto end = Clock::now();
  run.seconds = std::chrono::duration<double>(end - start).count();
  run.peak_rss_kib = usage.ru_maxrss;
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (pipe >= 0) {
    const auto bound = end + std::chrono::seconds(2);
    while (!drain() && Clock::now() < bound)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    run.pipe_open_after_end = std::chrono::duration<double>(Clock::now() - end).count();
    close(pipe);
    run.err = piped;
  } else {
    run.err = Read("stderr.txt");
  }
  return run;
}

void KillAtExit::Now() {
  if (pid_ > 0 && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

int KillAtExit::Wait() {
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace hx::testing
