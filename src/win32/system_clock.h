// The system clock in local time, as the Control Panel's time zone gives it.

#ifndef HX_WIN32_SYSTEM_CLOCK_H_
#define HX_WIN32_SYSTEM_CLOCK_H_

#include "platform/platform.h"

namespace hx {

class SystemClock : public Clock {
 public:
  LocalTime Now() override;
  void Pause(std::chrono::milliseconds time) override;
};

}  // namespace hx

#endif  // HX_WIN32_SYSTEM_CLOCK_H_
