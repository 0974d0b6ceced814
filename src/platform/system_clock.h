// The system clock in local time, as the system's time zone gives it.  One
// implementation per platform layer (posix/system_clock_posix.cpp,
// win32/system_clock_win32.cpp).
// Safe to call from any thread.

#ifndef HX_PLATFORM_SYSTEM_CLOCK_H_
#define HX_PLATFORM_SYSTEM_CLOCK_H_

#include "platform/platform.h"

namespace hx {

class SystemClock : public Clock {
 public:
  LocalTime Now() override;
  void Pause(std::chrono::milliseconds time) override;
};

}  // namespace hx

#endif  // HX_PLATFORM_SYSTEM_CLOCK_H_
