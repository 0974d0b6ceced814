// What the program and its vendor host (HX_VENDOR, host/vendor_host_main.cpp)
// say to each other over the host's standard input and output: one request
// per library call, one response to each.  A message is its length (4 bytes,
// little-endian) and that many bytes; integers inside are little-endian,
// texts their length and their bytes.
//
// The host runs one vendor library in a process of its own, so that a
// library that crashes, writes far past its buffers or never returns costs
// the calls into that library, never the report (hosted_vendor.h).
//
// Thread-compatible: plain values and functions.

#ifndef HX_COMM_VENDOR_PROTOCOL_H_
#define HX_COMM_VENDOR_PROTOCOL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hx::vendor_protocol {

// The longest message either side sends or takes: far above any buffer the
// program hands a library, and small enough that a garbled length is seen
// for what it is.
inline constexpr uint32_t kMaxMessage = 1 << 20;

// The library functions, as the first byte of a request.
enum class Call : uint8_t {
  kOpenController = 1,
  kSendRece,
  kSendReceSz,
  kErrorAsString,
  kStringAsLong,
  kStringAsFloat,
};

// How the host answers, as the first byte of a response.
enum class Outcome : uint8_t {
  kReturned = 1,  // the function returned; its results follow
  kRunError,      // the library or function could not be had: number, detail
  kOverrun,       // the function wrote past the buffers it was given: detail
};

// Builds a message body field by field.
class Writer {
 public:
  Writer& U8(uint8_t v);
  Writer& I16(int16_t v) { return U32(static_cast<uint16_t>(v), 2); }
  Writer& I32(int32_t v) { return U32(static_cast<uint32_t>(v), 4); }
  Writer& Text(std::string_view text);
  const std::string& body() const { return body_; }

 private:
  Writer& U32(uint32_t v, int bytes);
  std::string body_;
};

// Takes a message body apart field by field.  A field the body does not hold
// whole makes ok() false and reads as zero or empty.
class Reader {
 public:
  explicit Reader(std::string_view body) : body_(body) {}
  uint8_t U8() { return static_cast<uint8_t>(U32(1)); }
  int16_t I16() { return static_cast<int16_t>(U32(2)); }
  int32_t I32() { return static_cast<int32_t>(U32(4)); }
  std::string Text();
  // Every field was there, and nothing is left over.
  bool ok() const { return ok_ && body_.empty(); }

 private:
  uint32_t U32(int bytes);
  std::string_view body_;
  bool ok_ = true;
};

// body framed as a message.
std::string Frame(std::string_view body);

// The first whole message at the front of stream, removed from it; none
// while stream holds less.  A length above kMaxMessage makes too_long true:
// the stream is garbled and nothing after it can be trusted.
std::optional<std::string> TakeMessage(std::string& stream, bool& too_long);

}  // namespace hx::vendor_protocol

#endif  // HX_COMM_VENDOR_PROTOCOL_H_
