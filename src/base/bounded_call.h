// Calls that may block for ever, made on a thread of their own so that the
// caller waits for each at most a bound.  The log file is appended to this
// way: a file on a share that stopped answering must not hold the report
// (and the single-copy lock with it) for ever.
//
// The thread is started at the first call and kept for the next ones;
// between close calls it stays awake for a moment, so that a run of quick
// calls (a report's log lines) costs hardly more than making them directly.
// A call that overruns its bound is left to finish on its own: the caller
// goes on, and this object takes no further call.
//
// Thread-compatible: one thread calls Run; the calls themselves run on the
// object's own thread, one at a time.

#ifndef HX_BASE_BOUNDED_CALL_H_
#define HX_BASE_BOUNDED_CALL_H_

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace hx {

class BoundedCall {
 public:
  BoundedCall() = default;
  ~BoundedCall();
  BoundedCall(const BoundedCall&) = delete;
  BoundedCall& operator=(const BoundedCall&) = delete;

  // Runs call and waits for it up to bound; rethrows what it threw.  False
  // when it has not returned within bound, and at once after that has
  // happened once.  call may outlive the caller: it must own what it uses,
  // or use only what lives as long as the process.
  bool Run(std::function<void()> call, std::chrono::milliseconds bound);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  bool abandoned_ = false;
};

}  // namespace hx

#endif  // HX_BASE_BOUNDED_CALL_H_
