#include "comm/hosted_vendor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/run_error.h"

namespace hx {
namespace {

namespace vp = vendor_protocol;

// A host that answers every request with the same bytes and then ends.
class ScriptedHost : public HelperProcess {
 public:
  explicit ScriptedHost(std::string answer) : answer_(std::move(answer)) {}
  bool Write(std::string_view) override { return true; }
  ReadResult Read(std::string& out, std::chrono::milliseconds,
                  const std::function<void()>&) override {
    if (answer_.empty()) return ReadResult::kEnded;
    out += std::exchange(answer_, {});
    return ReadResult::kData;
  }
  void Kill() override {}
  std::string Ending() override { return "exit status 0"; }

 private:
  std::string answer_;
};

class ScriptedLauncher : public HelperLauncher {
 public:
  explicit ScriptedLauncher(std::string answer) : answer_(std::move(answer)) {}
  std::unique_ptr<HelperProcess> Start(const std::string&, const std::vector<std::string>&,
                                       std::string*) override {
    ++starts;
    return std::make_unique<ScriptedHost>(answer_);
  }
  int starts = 0;

 private:
  std::string answer_;
};

std::string Returned(int16_t status, int32_t value) {
  return vp::Frame(vp::Writer().U8(uint8_t(vp::Outcome::kReturned)).I16(status).I32(value).body());
}

TEST(HostedVendorTest, AnAnswerThatCannotBeTrustedEndsTheLibraryOnce) {
  const std::string whole = Returned(0, 42);
  struct Case {
    const char* name;
    std::string answer;
    int32_t error;  // 0: the call returns 42
  };
  const Case cases[] = {
      {"a whole answer", whole, 0},
      {"cut short, then the host ends", whole.substr(0, whole.size() - 1), err::kVendorFailed},
      {"a field missing", vp::Frame(vp::Writer().U8(uint8_t(vp::Outcome::kReturned)).I16(0).body()),
       err::kVendorFailed},
      {"longer than any call has", vp::Writer().I32(int32_t(vp::kMaxMessage + 1)).body() + "x",
       err::kVendorFailed},
      {"an overrun", vp::Frame(vp::Writer().U8(uint8_t(vp::Outcome::kOverrun)).Text("x").body()),
       err::kVendorFailed},
      {"a library that is missing",
       vp::Frame(vp::Writer().U8(uint8_t(vp::Outcome::kRunError)).I32(53).Text("x").body()),
       err::kFileNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedLauncher launcher(c.answer);
    HostedVendor vendor(launcher, "/plant", nullptr);
    char text[] = "42";
    int32_t value = 0;
    auto call = [&] {
      try {
        vendor.StringAsLong(&value, text);
        return RunError(0);
      } catch (const RunError& e) {
        return e;
      }
    };
    const RunError first = call();
    EXPECT_EQ(first.number(), c.error);
    EXPECT_FALSE(first.already_reported());
    if (c.error == 0) {
      EXPECT_EQ(value, 42);
    }
    // A library that failed is not called again, and says so only once.
    const RunError second = call();
    EXPECT_EQ(second.already_reported(), c.error == err::kVendorFailed);
    EXPECT_EQ(launcher.starts, 1);
  }
}

}  // namespace
}  // namespace hx
