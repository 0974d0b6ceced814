#include "output/log_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/run_error.h"
#include "testing/fake_platform.h"

namespace hx {
namespace {

using std::chrono::milliseconds;

// A log file held by another program for a number of tries, or for good,
// with part of the run's wait already spent by earlier lines.
TEST(AppendWhenFreeTest, PausesGrowAndTheRunsWaitIsBounded) {
  constexpr int kForGood = -1;
  struct Case {
    const char* name;
    int held_tries;
    milliseconds waited_before;
    std::vector<int> pauses_ms;
    bool fails;
  };
  const Case cases[] = {
      {"free at once", 0, milliseconds(0), {}, false},
      {"a scanner's short hold", 3, milliseconds(0), {50, 100, 200}, false},
      {"held all run",
       kForGood,
       milliseconds(0),
       {50, 100, 200, 400, 800, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 450},
       true},
      {"the run's wait nearly spent", kForGood, milliseconds(9900), {50, 50}, true},
      {"the run's wait spent: a held file fails at once", 1, kHeldLogWait, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeClock clock;
    milliseconds waited = c.waited_before;
    int tries = 0;
    const auto append = [&] {
      ++tries;
      return c.held_tries == kForGood || tries <= c.held_tries ? Appended::kHeld : Appended::kWhole;
    };
    std::optional<RunError> failure;
    try {
      AppendWhenFree(append, clock, waited, "R.LOG");
    } catch (const RunError& e) {
      failure = e;
    }
    std::vector<int> pauses_ms;
    milliseconds paused{0};
    for (milliseconds pause : clock.pauses) {
      pauses_ms.push_back(static_cast<int>(pause.count()));
      paused += pause;
    }
    EXPECT_EQ(pauses_ms, c.pauses_ms);
    EXPECT_EQ(waited, c.waited_before + paused);
    ASSERT_EQ(failure.has_value(), c.fails);
    if (failure) {
      EXPECT_EQ(waited, kHeldLogWait);
      EXPECT_EQ(failure->number(), err::kPermissionDenied);
      EXPECT_EQ(failure->detail(), "another program holds R.LOG (waited 10 s for it in this run)");
    }
  }
}

}  // namespace
}  // namespace hx
