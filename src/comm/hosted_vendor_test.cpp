#include "comm/hosted_vendor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/run_error.h"

namespace hx {
namespace {

namespace vp = vendor_protocol;

// A host that answers its first request as scripted and then ends.
class ScriptedHost : public HelperProcess {
 public:
  explicit ScriptedHost(ReadResult result, std::string answer)
      : result_(result), answer_(std::move(answer)) {}
  bool Send(std::string_view) override { return true; }
  ReadResult Receive(std::string& answer, std::chrono::milliseconds,
                     const std::function<void()>&) override {
    answer = std::exchange(answer_, {});
    return std::exchange(result_, ReadResult::kEnded);
  }
  void Kill() override {}
  std::string Ending() override { return "exit status 0"; }

 private:
  ReadResult result_;
  std::string answer_;
};

class ScriptedLauncher : public HelperLauncher {
 public:
  ScriptedLauncher(HelperProcess::ReadResult result, std::string answer)
      : result_(result), answer_(std::move(answer)) {}
  std::unique_ptr<HelperProcess> Start(const std::string&, const std::vector<std::string>&,
                                       std::string*) override {
    ++starts;
    return std::make_unique<ScriptedHost>(result_, answer_);
  }
  int starts = 0;

 private:
  HelperProcess::ReadResult result_;
  std::string answer_;
};

using Results = vp::StringAsLong::Results;

TEST(HostedVendorTest, AnAnswerThatCannotBeTrustedEndsTheLibraryOnce) {
  using Read = HelperProcess::ReadResult;
  const std::string whole = vp::EncodeAnswer<Results>(Results{0, 42});
  struct Case {
    const char* name;
    Read read;
    std::string answer;
    int32_t error;  // 0: the call returns 42
  };
  const Case cases[] = {
      {"a whole answer", Read::kData, whole, 0},
      {"cut short", Read::kData, whole.substr(0, whole.size() - 1), err::kVendorFailed},
      {"the host ended", Read::kEnded, "", err::kVendorFailed},
      {"no answer in time", Read::kTimedOut, "", err::kVendorFailed},
      {"longer than any call has", Read::kTooLong, "", err::kVendorFailed},
      {"an overrun", Read::kData, vp::EncodeAnswer<Results>(vp::Overrun{"x"}), err::kVendorFailed},
      {"a library that is missing", Read::kData, vp::EncodeAnswer<Results>(vp::RunFailure{53, "x"}),
       err::kFileNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedLauncher launcher(c.read, c.answer);
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
