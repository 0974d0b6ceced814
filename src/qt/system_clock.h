// The system clock in local time.

#ifndef HX_QT_SYSTEM_CLOCK_H_
#define HX_QT_SYSTEM_CLOCK_H_

#include "platform/platform.h"

namespace hx {

class SystemClock : public Clock {
 public:
  LocalTime Now() override;
  void Pause(std::chrono::milliseconds time) override;
};

}  // namespace hx

#endif  // HX_QT_SYSTEM_CLOCK_H_
