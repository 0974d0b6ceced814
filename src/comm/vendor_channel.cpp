#include "comm/vendor_channel.h"

#include <algorithm>
#include <thread>

namespace hx {

namespace {

using Clock = std::chrono::steady_clock;

// How long a side looks at the region before it sleeps.  The look yields
// the processor at every turn, so that on a machine with fewer processors
// than waiting sides the side with work to do gets one.
//
// The program waits for an answer a little longer than a call that needs
// no controller takes, there and back: a call that waits on a controller
// has it give its processor back at once.  A host waits for the next
// request twice as long as the program took last time (up to the longest
// spin), when that was not long: between two conversions the program
// queries a controller, and waking a sleeping process costs tens of
// microseconds, more than a conversion.  After a long pause (a slow
// controller, the end of the calls) it spins only the short spin before it
// sleeps.  (The short spin is ChannelEnd::kShortSpin.)
constexpr std::chrono::steady_clock::duration kLongestSpin = std::chrono::milliseconds(5);

// How often a sleeping program wakes for its idle work (the window).
constexpr auto kIdleSlice = std::chrono::milliseconds(20);

}  // namespace

bool ChannelEnd::Post(std::string_view message) {
  if (message.size() > vendor_protocol::kMaxMessage) return false;
  message.copy(region_.bytes, message.size());
  region_.length.store(static_cast<uint32_t>(message.size()), std::memory_order_relaxed);
  // The number is stored after the message, and the other side's sleep is
  // looked at after the number: a side that flags its sleep and then finds
  // no message is rung (the order of the two sides' stores and loads is one).
  std::atomic<uint32_t>* others_sleep = nullptr;
  if (side_ == Side::kProgram) {
    region_.posted.store(++number_);
    others_sleep = &region_.host_sleeps;
  } else {
    region_.answered.store(number_);
    others_sleep = &region_.program_sleeps;
    answered_at_ = Clock::now();
  }
  if (others_sleep->exchange(0) != 0) bell_.Ring();
  return true;
}

bool ChannelEnd::Arrived() const {
  if (side_ == Side::kProgram) return region_.answered.load() == number_;
  return region_.posted.load() != number_;
}

ChannelEnd::Got ChannelEnd::Await(std::string& message, Clock::time_point deadline,
                                  const std::function<void()>& idle) {
  const auto spin_until = Clock::now() + spin_;
  while (!Arrived() && Clock::now() < spin_until) std::this_thread::yield();

  std::atomic<uint32_t>& sleeps =
      side_ == Side::kProgram ? region_.program_sleeps : region_.host_sleeps;
  while (!Arrived()) {
    const auto now = Clock::now();
    if (now >= deadline) return Got::kTimedOut;
    sleeps.store(1);
    if (Arrived()) break;
    // The host sleeps until asked; the program wakes for its window.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    const auto slice = idle ? std::min<std::chrono::milliseconds>(left, kIdleSlice) : left;
    const Doorbell::Woke woke = bell_.Wait(slice);
    sleeps.store(0);
    if (woke == Doorbell::Woke::kOtherEnded) {
      // An answer posted just before its host ended is still an answer.
      if (Arrived()) break;
      return Got::kEnded;
    }
    if (woke == Doorbell::Woke::kNothing && idle) idle();
  }
  if (side_ == Side::kHost) {
    number_ = region_.posted.load();
    const auto gap = Clock::now() - answered_at_;
    spin_ = gap <= kLongestSpin ? std::clamp(2 * gap, kShortSpin, kLongestSpin) : kShortSpin;
  }
  const uint32_t length = region_.length.load(std::memory_order_relaxed);
  if (length > vendor_protocol::kMaxMessage) return Got::kTooLong;
  message.assign(region_.bytes, length);
  return Got::kData;
}

}  // namespace hx
