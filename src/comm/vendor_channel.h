// The channel between the program and one vendor host: a region of memory
// that both processes map, holding one message at a time (the request, then
// its answer in its place), and a doorbell for each side that sleeps.
//
// Most calls return in microseconds (a conversion, a query of a controller
// close by).  The side that waits for such an answer sees it arrive in the
// region within a short spin and so wakes no sleeping process (under wine it
// passes no wine server either); a longer call is waited for asleep on the
// doorbell, which also tells when the other process has ended.  The sides
// flag their sleep in the region, so that the doorbell is rung only for a
// side that sleeps.
//
// The region is not trusted: a library runs in the host's memory and may
// write over all of it.  A length is checked before it is used, and a
// message is copied out before it is read.
//
// Each side is used by one thread.

#ifndef HX_COMM_VENDOR_CHANNEL_H_
#define HX_COMM_VENDOR_CHANNEL_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "comm/vendor_protocol.h"
#include "platform/helper_process.h"

namespace hx {

struct ChannelRegion {
  std::atomic<uint32_t> posted;    // requests posted so far
  std::atomic<uint32_t> answered;  // the number of the request answered last
  std::atomic<uint32_t> program_sleeps;
  std::atomic<uint32_t> host_sleeps;
  std::atomic<uint32_t> length;  // of the message in bytes
  char bytes[vendor_protocol::kMaxMessage];
};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "the processes share no lock");

// A side's way to wake the other, and to sleep until woken; one per
// platform (posix/helper_process_posix.h, win32/helper_process_win32.h).
class Doorbell {
 public:
  virtual ~Doorbell() = default;
  // Wakes the other side, which sleeps or is about to.
  virtual void Ring() = 0;
  enum class Woke { kRung, kOtherEnded, kNothing };
  // Sleeps up to timeout until rung or until the other process has ended;
  // kNothing when the time ran out, or when something else needs an answer
  // (a window message), the caller's idle work.
  virtual Woke Wait(std::chrono::milliseconds timeout) = 0;
};

class ChannelEnd {
 public:
  enum class Side { kProgram, kHost };
  ChannelEnd(ChannelRegion& region, Doorbell& bell, Side side)
      : region_(region), bell_(bell), side_(side) {}

  // Puts message in the region and lets the other side know: the program's
  // request, or the host's answer to it.  False when it is longer than any
  // call has.  The program posts an empty message when it is done.
  bool Post(std::string_view message);

  // What a wait brings: kData, kEnded, kTimedOut or kTooLong, as a helper
  // process's Receive tells it.
  using Got = HelperProcess::ReadResult;
  // Waits until deadline for the other side's message (the answer to the
  // latest request, or the next request) and copies it into message.  While
  // it sleeps, idle runs every few milliseconds.  kEnded when the other
  // process ended first; kTooLong when the region claims a message longer
  // than any call has.
  Got Await(std::string& message, std::chrono::steady_clock::time_point deadline,
            const std::function<void()>& idle);

 private:
  bool Arrived() const;

  ChannelRegion& region_;
  Doorbell& bell_;
  Side side_;
  uint32_t number_ = 0;  // of the latest request, as this side knows it
  static constexpr std::chrono::steady_clock::duration kShortSpin = std::chrono::microseconds(50);
  // How long the next wait looks at the region before it sleeps, and when
  // the host answered last (vendor_channel.cpp).
  std::chrono::steady_clock::duration spin_ = kShortSpin;
  std::chrono::steady_clock::time_point answered_at_;
};

}  // namespace hx

#endif  // HX_COMM_VENDOR_CHANNEL_H_
