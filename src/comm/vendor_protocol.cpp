#include "comm/vendor_protocol.h"

namespace hx::vendor_protocol {

Writer& Writer::U8(uint8_t v) {
  body_ += static_cast<char>(v);
  return *this;
}

Writer& Writer::U32(uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) body_ += static_cast<char>((v >> (8 * i)) & 0xFF);
  return *this;
}

Writer& Writer::Text(std::string_view text) {
  U32(static_cast<uint32_t>(text.size()), 4);
  body_ += text;
  return *this;
}

uint32_t Reader::U32(int bytes) {
  if (body_.size() < static_cast<size_t>(bytes)) {
    ok_ = false;
    body_ = {};
    return 0;
  }
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(body_[i])) << (8 * i);
  body_.remove_prefix(static_cast<size_t>(bytes));
  return v;
}

std::string Reader::Text() {
  const uint32_t size = U32(4);
  if (body_.size() < size) {
    ok_ = false;
    body_ = {};
    return {};
  }
  std::string text(body_.substr(0, size));
  body_.remove_prefix(size);
  return text;
}

std::string Frame(std::string_view body) {
  Writer length;
  length.I32(static_cast<int32_t>(body.size()));
  return length.body() + std::string(body);
}

std::optional<std::string> TakeMessage(std::string& stream, bool& too_long) {
  too_long = false;
  if (stream.size() < 4) return std::nullopt;
  const auto size = static_cast<uint32_t>(Reader(std::string_view(stream).substr(0, 4)).I32());
  if (size > kMaxMessage) {
    too_long = true;
    return std::nullopt;
  }
  if (stream.size() - 4 < size) return std::nullopt;
  std::string body = stream.substr(4, size);
  stream.erase(0, 4 + static_cast<size_t>(size));
  return body;
}

}  // namespace hx::vendor_protocol
