#include "host/vendor_host.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <variant>
#include <vector>

#include "base/run_error.h"
#include "comm/vendor_protocol.h"

namespace hx {

namespace {

namespace vp = vendor_protocol;

constexpr char kPattern = '\xA5';

// What the spare room holds until a library writes into it.
const std::string& SparePattern() {
  static const std::string pattern(kSpareRoom, kPattern);
  return pattern;
}

// The largest buffer a request may ask for: its content comes back in the
// answer, which must fit a message.
constexpr int32_t kLargestBuffer = vp::kMaxMessage / 2;

// A writable buffer for the library: the content, zeros up to size and the
// terminator's place, then the spare room.
class Buffer {
 public:
  Buffer(std::string_view content, size_t size)
      : room_(std::max(size, content.size()) + 1), bytes_(content.begin(), content.end()) {
    bytes_.resize(room_, '\0');
    bytes_.resize(room_ + kSpareRoom, kPattern);
  }
  char* data() { return bytes_.data(); }
  std::string Content() const { return {bytes_.data(), room_}; }
  bool Overrun() const {
    return std::memcmp(bytes_.data() + room_, SparePattern().data(), kSpareRoom) != 0;
  }

 private:
  size_t room_;
  std::vector<char> bytes_;
};

bool Overrun(std::initializer_list<const Buffer*> buffers) {
  return std::any_of(buffers.begin(), buffers.end(), [](const Buffer* b) { return b->Overrun(); });
}

// A failure's answer is the same whatever the call.
std::string Failure(int32_t number, std::string detail) {
  return vp::Encode(uint8_t(vp::Outcome::kRunError), vp::RunFailure{number, std::move(detail)});
}

template <class Results>
std::string Returned(const Results& results) {
  return vp::EncodeAnswer<Results>(results);
}

template <class Results>
std::string Overran(const char* function) {
  return vp::EncodeAnswer<Results>(
      vp::Overrun{std::string(function) + " wrote past the end of a buffer it was given"});
}

// One call, as the request asks for it.
std::string Make(VendorLibraries& vendor, const vp::OpenController& call) {
  using Results = vp::OpenController::Results;
  Buffer name(call.name, 0);
  Results results;
  results.status = vendor.T31MdsOpenController(&results.handle, name.data());
  if (Overrun({&name})) return Overran<Results>("T31MdsOpenController");
  return Returned(results);
}

std::string Make(VendorLibraries& vendor, const vp::SendRece& call) {
  using Results = vp::SendRece::Results;
  Buffer command(call.command, 0);
  Buffer reply({}, static_cast<size_t>(call.reply_size));
  Results results;
  results.status = vendor.T31MdsSendRece(call.handle, command.data(), call.command_length,
                                         reply.data(), call.reply_size, &results.reply_length);
  if (Overrun({&command, &reply})) return Overran<Results>("T31MdsSendRece");
  results.reply = reply.Content();
  return Returned(results);
}

std::string Make(VendorLibraries& vendor, const vp::SendReceSz& call) {
  using Results = vp::SendReceSz::Results;
  Buffer command(call.command, 0);
  Buffer reply(call.reply, static_cast<size_t>(call.reply_size));
  Results results;
  results.status =
      vendor.T31MdsSendReceSz(call.handle, command.data(), reply.data(), call.reply_size);
  if (Overrun({&command, &reply})) return Overran<Results>("T31MdsSendReceSz");
  results.reply = reply.Content();
  return Returned(results);
}

std::string Make(VendorLibraries& vendor, const vp::ErrorAsString& call) {
  using Results = vp::ErrorAsString::Results;
  Buffer text(call.text, static_cast<size_t>(call.text_size));
  Results results;
  results.status =
      vendor.T31ErrorAsString(call.code, text.data(), call.text_size, &results.text_length);
  if (Overrun({&text})) return Overran<Results>("T31ErrorAsString");
  results.text = text.Content();
  return Returned(results);
}

std::string Make(VendorLibraries& vendor, const vp::StringAsLong& call) {
  using Results = vp::StringAsLong::Results;
  Buffer text(call.text, 0);
  Results results;
  results.status = vendor.StringAsLong(&results.value, text.data());
  if (Overrun({&text})) return Overran<Results>("StringAsLong");
  return Returned(results);
}

std::string Make(VendorLibraries& vendor, const vp::StringAsFloat& call) {
  using Results = vp::StringAsFloat::Results;
  Buffer text(call.text, 0);
  Results results;
  results.status = vendor.StringAsFloat(&results.value, text.data());
  if (Overrun({&text})) return Overran<Results>("StringAsFloat");
  return Returned(results);
}

// Whether the buffers a call asks for fit an answer.
bool Sizes(const vp::SendRece& c) {
  return c.reply_size >= 0 && c.reply_size <= kLargestBuffer;
}
bool Sizes(const vp::SendReceSz& c) {
  return c.reply_size >= 0 && c.reply_size <= kLargestBuffer;
}
bool Sizes(const vp::ErrorAsString& c) {
  return c.text_size >= 0 && c.text_size <= kLargestBuffer;
}
template <class C>
bool Sizes(const C&) {
  return true;
}

}  // namespace

std::string AnswerRequest(VendorLibraries& vendor, std::string_view request) {
  const std::optional<vp::Request> call = vp::DecodeRequest(request);
  constexpr const char* kUnreadable = "HX_VENDOR: a request it cannot read";
  if (!call) return Failure(err::kInternal, kUnreadable);
  std::string answer;
  try {
    answer = std::visit(
        [&](const auto& c) {
          return Sizes(c) ? Make(vendor, c) : Failure(err::kInternal, kUnreadable);
        },
        *call);
  } catch (const RunError& e) {
    return Failure(e.number(), e.detail());
  }
  // A content longer than its buffer's size comes back whole; an answer no
  // message can carry would leave the program waiting for nothing.
  if (answer.size() > vp::kMaxMessage)
    return Failure(err::kInternal, "HX_VENDOR: an answer longer than any message");
  return answer;
}

}  // namespace hx
