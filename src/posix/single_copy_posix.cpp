#include "platform/single_copy.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hx {

namespace {

// Every copy locks the one file that every account's copy finds, HX_RPT.lock
// in the first of /run/lock, /var/lock and /tmp that every account may write
// in, whatever TMPDIR says (a service's private /tmp would otherwise hide
// it).  The file itself stays, so that no copy ever needs to remove another
// account's file (which a sticky folder forbids).
//
// Another account cannot take the check hostage unnoticed.  The file is made
// readable by everyone and opened for reading only, never through a link,
// and used only when it is a plain file: a link, a file that others may not
// read, or anything else put in its place makes the check impossible, and
// the problem names the file's owner.  A process that holds the lock itself
// is taken for a running copy.
class PosixSingleCopyLock : public SingleCopyLock {
 public:
  explicit PosixSingleCopyLock(const std::string& path) { Take(path); }
  ~PosixSingleCopyLock() override {
    if (fd_ >= 0) close(fd_);
  }
  PosixSingleCopyLock(const PosixSingleCopyLock&) = delete;
  PosixSingleCopyLock& operator=(const PosixSingleCopyLock&) = delete;

 private:
  void Take(const std::string& path);
  void CannotTell(const std::string& path, const std::string& why);

  int fd_ = -1;
};

// Where every copy on the machine looks for the lock.  HX_LOCK_FOLDER, for
// tests alone, names another folder.
std::string SingleCopyLockPath() {
  constexpr const char* kName = "/HX_RPT.lock";
  // For tests alone: copies a test starts side by side keep apart.
  if (const char* folder = std::getenv("HX_LOCK_FOLDER"); folder != nullptr && *folder != '\0')
    return folder + std::string(kName);
  // The first folder that every account may write in, or that holds the
  // lock already, whatever TMPDIR says: a folder only some accounts may
  // write in would have the others look elsewhere.
  for (const char* folder : {"/run/lock", "/var/lock", "/tmp"}) {
    const std::string path = folder + std::string(kName);
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) return path;
    if (stat(folder, &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_IWOTH) != 0) return path;
  }
  return std::string("/tmp") + kName;
}

void PosixSingleCopyLock::Take(const std::string& path) {
  // A few rounds, for a file that another copy makes, or a cleaner of old
  // temporary files removes, at the very moment of the look.
  for (int round = 0; round < 3; ++round) {
    // Looked for before it is made: a sticky folder such as /tmp may refuse
    // a request to create on another user's file even where it exists.  No
    // wait on whatever may have been put there instead (a pipe).
    const int look = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = open(path.c_str(), look);
    if (fd < 0 && errno == ENOENT) {
      fd = open(path.c_str(), look | O_CREAT | O_EXCL, 0644);
      if (fd < 0 && errno == EEXIST) continue;
      // Every user's copy must be able to open it, whatever this user's umask.
      if (fd >= 0) fchmod(fd, 0644);
    }
    if (fd < 0) return CannotTell(path, std::strerror(errno));
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      close(fd);
      return CannotTell(path, "not a plain file");
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      close(fd);
      if (error != EWOULDBLOCK) return CannotTell(path, std::strerror(error));
      state_ = State::kAnotherCopyRuns;
      return;
    }
    // A lock on a file that has left the folder meanwhile would be seen by
    // no later copy.
    struct stat named {};
    if (lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
      fd_ = fd;
      state_ = State::kOnlyCopy;
      return;
    }
    close(fd);
  }
  CannotTell(path, "it keeps changing");
}

void PosixSingleCopyLock::CannotTell(const std::string& path, const std::string& why) {
  state_ = State::kCannotTell;
  problem_ = path + ": " + why;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && st.st_uid != geteuid()) {
    const passwd* owner = getpwuid(st.st_uid);
    problem_ += "; it belongs to " + (owner != nullptr ? std::string(owner->pw_name)
                                                       : "user " + std::to_string(st.st_uid));
  }
}

}  // namespace

std::unique_ptr<SingleCopyLock> TakeSingleCopyLock() {
  return std::make_unique<PosixSingleCopyLock>(SingleCopyLockPath());
}

}  // namespace hx
