#include "base/bounded_call.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <optional>

#include "base/run_error.h"

namespace hx {
namespace {

using std::chrono::milliseconds;

// A call that returns, one that fails, and one the system keeps: the caller
// gets the result, the failure, or its bound, and after a call it gave up
// on, no further call is made.
TEST(BoundedCallTest, ACallReturnsFailsOrIsGivenUpAtItsBound) {
  BoundedCall calls;
  int made = 0;
  EXPECT_TRUE(calls.Run([&made] { ++made; }, milliseconds(10'000)));
  EXPECT_TRUE(calls.Run([&made] { ++made; }, milliseconds(10'000)));
  EXPECT_EQ(made, 2);

  std::optional<int32_t> failure;
  try {
    calls.Run([] { throw RunError(err::kDiskFull); }, milliseconds(10'000));
  } catch (const RunError& e) {
    failure = e.number();
  }
  EXPECT_EQ(failure, err::kDiskFull);

  auto release = std::make_shared<std::promise<void>>();
  auto held = std::make_shared<std::shared_future<void>>(release->get_future().share());
  EXPECT_FALSE(calls.Run([held] { held->wait(); }, milliseconds(50)));
  EXPECT_FALSE(calls.Run([&made] { ++made; }, milliseconds(10'000)));
  EXPECT_EQ(made, 2);
  release->set_value();
}

}  // namespace
}  // namespace hx
