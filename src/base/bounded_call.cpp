#include "base/bounded_call.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace hx {

namespace {

enum State { kIdle, kPosted, kDone, kQuit };

// How long each side looks for the other before it sleeps: a call's
// result usually comes within this, and a report's next line too.
constexpr auto kAwake = std::chrono::microseconds(200);

// Looks at state until it holds one of two values or kAwake has passed,
// letting whatever else is ready to run (the report's own thread, on a
// machine of few processors) have the processor in between.
bool AwaitAwake(const std::atomic<int>& state, int a, int b) {
  const auto until = std::chrono::steady_clock::now() + kAwake;
  for (;;) {
    const int s = state.load(std::memory_order_acquire);
    if (s == a || s == b) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::yield();
  }
}

}  // namespace

struct BoundedCall::Shared {
  std::atomic<int> state{kIdle};
  std::function<void()> call;
  std::exception_ptr error;
  std::mutex mutex;
  std::condition_variable changed;
  int sleepers = 0;  // how many sides wait on changed; guarded by mutex

  void Set(State s) {
    state.store(s, std::memory_order_release);
    std::lock_guard<std::mutex> lock(mutex);
    if (sleepers > 0) changed.notify_all();
  }
  // Waits for state a or b, until deadline at the latest when one is given.
  bool Await(int a, int b, const std::chrono::steady_clock::time_point* deadline) {
    if (AwaitAwake(state, a, b)) return true;
    const auto reached = [&] {
      const int s = state.load(std::memory_order_acquire);
      return s == a || s == b;
    };
    std::unique_lock<std::mutex> lock(mutex);
    ++sleepers;
    bool in_time = true;
    if (deadline == nullptr) {
      changed.wait(lock, reached);
    } else {
      in_time = changed.wait_until(lock, *deadline, reached);
    }
    --sleepers;
    return in_time;
  }

  void Serve() {
    for (;;) {
      Await(kPosted, kQuit, nullptr);
      if (state.load(std::memory_order_acquire) == kQuit) return;
      try {
        call();
      } catch (...) {
        error = std::current_exception();
      }
      call = nullptr;
      Set(kDone);
    }
  }
};

BoundedCall::~BoundedCall() {
  if (!thread_.joinable()) return;
  shared_->Set(kQuit);
  thread_.join();
}

bool BoundedCall::Run(std::function<void()> call, std::chrono::milliseconds bound) {
  if (abandoned_) return false;
  if (!thread_.joinable()) {
    shared_ = std::make_shared<Shared>();
    // The thread holds the shared state itself, so that it may outlive this object.
    thread_ = std::thread([shared = shared_] { shared->Serve(); });
  }
  Shared& s = *shared_;
  s.call = std::move(call);
  s.error = nullptr;
  s.Set(kPosted);
  const auto deadline = std::chrono::steady_clock::now() + bound;
  if (!s.Await(kDone, kDone, &deadline)) {
    abandoned_ = true;
    thread_.detach();
    return false;
  }
  s.state.store(kIdle, std::memory_order_relaxed);
  if (s.error) std::rethrow_exception(std::exchange(s.error, nullptr));
  return true;
}

}  // namespace hx
