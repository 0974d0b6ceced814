// The messages between the program and a vendor host, read from arbitrary
// bytes, as a host damaged by its library may leave them in the region
// both processes share.
//
// - The region: the first 4 bytes are the length it claims, the rest its
//   bytes.  A length beyond any message is refused, any other is taken
//   exactly, never read past.
// - The message: a request, or an answer to any call, is read only when it
//   is exactly what the encoder makes of what was read, so that nothing is
//   passed over or made up.
// - The host: a request of any bytes gets an answer the program can read,
//   to the call it named: the call's results or a failure.  The library is
//   a fake that records nothing of interest.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>

#include "comm/vendor_channel.h"
#include "comm/vendor_protocol.h"
#include "fuzz/fuzz_run.h"
#include "host/vendor_host.h"
#include "testing/fake_vendor.h"

namespace {

namespace vp = hx::vendor_protocol;
using hx::fuzz::Check;

// A library that reads a command no further than its end, whatever length
// a damaged request claims for it, as the vendor's does.
class Library : public hx::testing::FakeVendor {
 public:
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override {
    const auto length = std::clamp<int32_t>(command_length, 0, std::strlen(command));
    return FakeVendor::T31MdsSendRece(handle, command, length, reply, reply_size, reply_length);
  }
};

// A doorbell nobody rings: the message is in the region before the wait.
class SilentBell : public hx::Doorbell {
 public:
  void Ring() override {}
  Woke Wait(std::chrono::milliseconds) override { return Woke::kNothing; }
};

template <class Results>
void CheckAnswer(std::string_view bytes) {
  if (auto answer = vp::DecodeAnswer<Results>(bytes)) {
    Check(vp::EncodeAnswer<Results>(*answer) == bytes,
          "an answer is read only when it is exactly what its fields make", std::string(bytes));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = hx::fuzz::AsText(data, size);

  // The region, made once: it is a megabyte, and only its start is used.
  static const std::unique_ptr<hx::ChannelRegion> region(new hx::ChannelRegion());
  const std::string_view bytes = input.size() >= 4 ? input.substr(4) : std::string_view();
  uint32_t claimed = 0;
  for (size_t i = 0; i < 4 && i < input.size(); ++i)
    claimed |= static_cast<uint32_t>(static_cast<uint8_t>(input[i])) << (8 * i);
  SilentBell bell;
  hx::ChannelEnd program(*region, bell, hx::ChannelEnd::Side::kProgram);
  program.Post({});
  // What the host left in the region in answer.
  bytes.copy(region->bytes, std::min(bytes.size(), sizeof region->bytes));
  region->length = claimed;
  region->answered = 1;
  std::string message;
  const auto got = program.Await(message, std::chrono::steady_clock::now(), nullptr);
  if (claimed > vp::kMaxMessage) {
    Check(got == hx::ChannelEnd::Got::kTooLong, "a length beyond any message is refused");
  } else {
    Check(got == hx::ChannelEnd::Got::kData, "an answer in the region is taken");
    Check(message.size() == claimed, "the message is as long as the region claims");
    Check(std::string_view(message).substr(0, std::min<size_t>(claimed, bytes.size())) ==
              bytes.substr(0, claimed),
          "the message is the region's bytes");
  }

  if (auto request = vp::DecodeRequest(input)) {
    Check(vp::EncodeRequest(*request) == input,
          "a request is read only when it is exactly what its fields make");
  }
  CheckAnswer<vp::OpenController::Results>(input);
  CheckAnswer<vp::SendRece::Results>(input);
  CheckAnswer<vp::SendReceSz::Results>(input);
  CheckAnswer<vp::ErrorAsString::Results>(input);
  CheckAnswer<vp::StringAsLong::Results>(input);
  CheckAnswer<vp::StringAsFloat::Results>(input);

  Library library;
  library.open = [](const std::string&) { return std::pair<int16_t, int32_t>{0, 1}; };
  library.send = [](int32_t, const std::string& command) {
    return std::pair<int16_t, std::string>{0, command};
  };
  const std::string answer = hx::AnswerRequest(library, input);
  const auto request = vp::DecodeRequest(input);
  const bool readable = request
                            ? std::visit(
                                  [&](const auto& call) {
                                    using Results = typename std::decay_t<decltype(call)>::Results;
                                    return vp::DecodeAnswer<Results>(answer).has_value();
                                  },
                                  *request)
                            : vp::DecodeAnswer<vp::StringAsLong::Results>(answer).has_value();
  Check(readable, "the host answers every request so that the program can read it",
        std::string(input));
  return 0;
}
