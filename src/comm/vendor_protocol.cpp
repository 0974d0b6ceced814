#include "comm/vendor_protocol.h"

#include <utility>

namespace hx::vendor_protocol {

uint32_t Reader::Bytes(int count) {
  if (rest_.size() < static_cast<size_t>(count)) {
    ok_ = false;
    rest_ = {};
    return 0;
  }
  uint32_t v = 0;
  for (int i = 0; i < count; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(rest_[i])) << (8 * i);
  rest_.remove_prefix(static_cast<size_t>(count));
  return v;
}

void Reader::operator()(std::string& text) {
  const uint32_t size = Bytes(4);
  if (rest_.size() < size) {
    ok_ = false;
    rest_ = {};
    text.clear();
    return;
  }
  text.assign(rest_.substr(0, size));
  rest_.remove_prefix(size);
}

std::string EncodeRequest(const Request& request) {
  return std::visit([](const auto& call) { return Encode(uint8_t(call.kCall), call); }, request);
}

namespace {

template <class C>
std::optional<Request> Decoded(Reader& r) {
  if (std::optional<C> call = DecodeFields<C>(r)) return Request(std::move(*call));
  return std::nullopt;
}

}  // namespace

std::optional<Request> DecodeRequest(std::string_view message) {
  Reader r(message);
  switch (static_cast<Call>(r.First())) {
    case Call::kOpenController:
      return Decoded<OpenController>(r);
    case Call::kSendRece:
      return Decoded<SendRece>(r);
    case Call::kSendReceSz:
      return Decoded<SendReceSz>(r);
    case Call::kErrorAsString:
      return Decoded<ErrorAsString>(r);
    case Call::kStringAsLong:
      return Decoded<StringAsLong>(r);
    case Call::kStringAsFloat:
      return Decoded<StringAsFloat>(r);
  }
  return std::nullopt;
}

}  // namespace hx::vendor_protocol
