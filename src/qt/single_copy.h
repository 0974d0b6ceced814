// The single-copy rule on Linux: one copy of HX_RPT runs on the machine at
// a time, whichever user starts it, so that a scheduled run and an
// operator's never mix their lines in one log.  Every copy locks the one
// file that every user's copy finds, HX_RPT.lock in the first of /run/lock,
// /var/lock and /tmp that every account may write in, whatever TMPDIR says
// (a service's private /tmp would otherwise hide it).  The kernel drops the
// lock with the process that holds it, also when that process crashed; the
// file itself stays, so that no copy ever needs to remove another user's
// file (which a sticky folder forbids).
//
// Another user cannot take the check hostage unnoticed.  The file is made
// readable by everyone and opened for reading only, never through a link,
// and used only when it is a plain file: a link, a file that others may not
// read, or anything else put in its place makes the check impossible, which
// the program says on standard error, naming the file's owner, before it
// runs all the same.  A process that holds the lock itself is taken for a
// running copy: every start then ends with status 2, which tells each
// scheduler that no report was made.
//
// Single-threaded; the lock lasts as long as the object.

#ifndef HX_QT_SINGLE_COPY_H_
#define HX_QT_SINGLE_COPY_H_

#include <string>

namespace hx {

// Where every copy on the machine looks for the lock.  HX_LOCK_FOLDER,
// for tests alone, names another folder.
std::string SingleCopyLockPath();

class SingleCopyLock {
 public:
  enum class State {
    kOnlyCopy,         // the lock is ours
    kAnotherCopyRuns,  // someone else holds it
    kCannotTell,       // no lock could be had; problem() says why
  };

  // Takes the lock at path, or finds that it is held.
  explicit SingleCopyLock(const std::string& path);
  ~SingleCopyLock();
  SingleCopyLock(const SingleCopyLock&) = delete;
  SingleCopyLock& operator=(const SingleCopyLock&) = delete;

  State state() const { return state_; }
  const std::string& problem() const { return problem_; }

 private:
  void Take(const std::string& path);
  void CannotTell(const std::string& path, const std::string& why);

  int fd_ = -1;
  State state_ = State::kCannotTell;
  std::string problem_;
};

}  // namespace hx

#endif  // HX_QT_SINGLE_COPY_H_
