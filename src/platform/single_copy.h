// The single-copy rule's lock: one copy of HX_RPT runs on a machine at a
// time, whichever account starts it, so that a scheduled run and an
// operator's never mix their lines in one log.  Each platform has its own
// lock (posix/single_copy_posix.cpp: a file lock every account's copy finds;
// win32/single_copy_win32.cpp: a name every session shares), which the
// system drops with the copy that held it, also one that crashed.  What a
// copy does with the answer is the program's rule (app/form_load.h).
//
// Single-threaded; the lock lasts as long as the object.

#ifndef HX_PLATFORM_SINGLE_COPY_H_
#define HX_PLATFORM_SINGLE_COPY_H_

#include <memory>
#include <string>

namespace hx {

class SingleCopyLock {
 public:
  enum class State {
    kOnlyCopy,         // the lock is ours
    kAnotherCopyRuns,  // someone else holds it
    kCannotTell,       // no lock could be had; problem() says why
  };

  virtual ~SingleCopyLock() = default;
  State state() const { return state_; }
  const std::string& problem() const { return problem_; }

 protected:
  State state_ = State::kCannotTell;
  std::string problem_;
};

// Takes the machine's lock for this copy, or finds that it is held.
std::unique_ptr<SingleCopyLock> TakeSingleCopyLock();

}  // namespace hx

#endif  // HX_PLATFORM_SINGLE_COPY_H_
