// What the program and its vendor host (HX_VENDOR, host/vendor_host.h) say
// to each other: one request per library call, one answer to each.  Each
// call is described once, below, as the fields of its request and of its
// results in the order they travel; the encoder and the decoder of every
// message are made from that description, and both sides use them.
//
// A message is a first byte (the call, or how the call went) and its
// fields: integers little-endian, a float as its 32 bits, a text as its
// length (4 bytes) and its bytes.  A message is read whole or not at all:
// a field it lacks, bytes left over, or a first byte nobody sends make it
// unreadable, so that a host damaged by its library is not believed.
//
// Thread-compatible: plain values and functions.

#ifndef HX_COMM_VENDOR_PROTOCOL_H_
#define HX_COMM_VENDOR_PROTOCOL_H_

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

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

// How the call went, as the first byte of an answer.
enum class Outcome : uint8_t {
  kReturned = 1,  // the function returned; its results follow
  kRunError,      // the call raised RunError (no library or function, a request the
                  // host cannot read): number, detail
  kOverrun,       // the function wrote past the buffers it was given: detail
};

// The calls.  A text the library may write into travels with the content
// of the caller's buffer, and comes back as the whole buffer: the size the
// library was told and the terminator's place.
struct OpenController {
  static constexpr Call kCall = Call::kOpenController;
  std::string name;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.name);
  }
  bool operator==(const OpenController&) const = default;
  struct Results {
    int16_t status = 0;
    int32_t handle = 0;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.handle);
    }
    bool operator==(const Results&) const = default;
  };
};

struct SendRece {
  static constexpr Call kCall = Call::kSendRece;
  int32_t handle = 0;
  std::string command;
  int32_t command_length = 0;
  int32_t reply_size = 0;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.handle), f(s.command), f(s.command_length), f(s.reply_size);
  }
  bool operator==(const SendRece&) const = default;
  struct Results {
    int16_t status = 0;
    std::string reply;
    int32_t reply_length = 0;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.reply), f(s.reply_length);
    }
    bool operator==(const Results&) const = default;
  };
};

struct SendReceSz {
  static constexpr Call kCall = Call::kSendReceSz;
  int32_t handle = 0;
  std::string command;
  std::string reply;
  int32_t reply_size = 0;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.handle), f(s.command), f(s.reply), f(s.reply_size);
  }
  bool operator==(const SendReceSz&) const = default;
  struct Results {
    int16_t status = 0;
    std::string reply;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.reply);
    }
    bool operator==(const Results&) const = default;
  };
};

struct ErrorAsString {
  static constexpr Call kCall = Call::kErrorAsString;
  int16_t code = 0;
  std::string text;
  int32_t text_size = 0;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.code), f(s.text), f(s.text_size);
  }
  bool operator==(const ErrorAsString&) const = default;
  struct Results {
    int16_t status = 0;
    std::string text;
    int32_t text_length = 0;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.text), f(s.text_length);
    }
    bool operator==(const Results&) const = default;
  };
};

struct StringAsLong {
  static constexpr Call kCall = Call::kStringAsLong;
  std::string text;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.text);
  }
  bool operator==(const StringAsLong&) const = default;
  struct Results {
    int16_t status = 0;
    int32_t value = 0;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.value);
    }
    bool operator==(const Results&) const = default;
  };
};

struct StringAsFloat {
  static constexpr Call kCall = Call::kStringAsFloat;
  std::string text;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.text);
  }
  bool operator==(const StringAsFloat&) const = default;
  struct Results {
    int16_t status = 0;
    float value = 0;
    template <class S, class F>
    static void Fields(S& s, F&& f) {
      f(s.status), f(s.value);
    }
    bool operator==(const Results&) const = default;
  };
};

using Request =
    std::variant<OpenController, SendRece, SendReceSz, ErrorAsString, StringAsLong, StringAsFloat>;

// The answers that are not results.
struct RunFailure {
  int32_t number = 0;
  std::string detail;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.number), f(s.detail);
  }
  bool operator==(const RunFailure&) const = default;
};
struct Overrun {
  std::string detail;
  template <class S, class F>
  static void Fields(S& s, F&& f) {
    f(s.detail);
  }
  bool operator==(const Overrun&) const = default;
};

// The answer to a call whose results are Results.
template <class Results>
using Answer = std::variant<Results, RunFailure, Overrun>;

// Builds a message field by field.
class Writer {
 public:
  explicit Writer(uint8_t first) { body_ += static_cast<char>(first); }
  void operator()(int16_t v) { Bytes(static_cast<uint16_t>(v), 2); }
  void operator()(int32_t v) { Bytes(static_cast<uint32_t>(v), 4); }
  void operator()(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    Bytes(bits, 4);
  }
  void operator()(std::string_view text) {
    Bytes(static_cast<uint32_t>(text.size()), 4);
    body_ += text;
  }
  std::string& body() { return body_; }

 private:
  void Bytes(uint32_t v, int count) {
    for (int i = 0; i < count; ++i) body_ += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string body_;
};

// Takes a message apart field by field.  A field the message does not hold
// whole makes ok() false and reads as zero or empty.
class Reader {
 public:
  explicit Reader(std::string_view message) : rest_(message) {}
  uint8_t First() { return static_cast<uint8_t>(Bytes(1)); }
  void operator()(int16_t& v) { v = static_cast<int16_t>(Bytes(2)); }
  void operator()(int32_t& v) { v = static_cast<int32_t>(Bytes(4)); }
  void operator()(float& v) {
    const uint32_t bits = Bytes(4);
    std::memcpy(&v, &bits, sizeof v);
  }
  void operator()(std::string& text);
  // Every field was there, and nothing is left over.
  bool ok() const { return ok_ && rest_.empty(); }

 private:
  uint32_t Bytes(int count);
  std::string_view rest_;
  bool ok_ = true;
};

// A message of first and the fields of m.
template <class M>
std::string Encode(uint8_t first, const M& m) {
  Writer w(first);
  M::Fields(m, w);
  return std::move(w.body());
}

// The fields of an M from what follows the first byte in r; none unless the
// rest of the message is exactly that.
template <class M>
std::optional<M> DecodeFields(Reader& r) {
  M m;
  M::Fields(m, r);
  if (!r.ok()) return std::nullopt;
  return m;
}

std::string EncodeRequest(const Request& request);
std::optional<Request> DecodeRequest(std::string_view message);

template <class Results>
std::string EncodeAnswer(const Answer<Results>& answer) {
  if (const auto* results = std::get_if<Results>(&answer))
    return Encode(uint8_t(Outcome::kReturned), *results);
  if (const auto* failure = std::get_if<RunFailure>(&answer))
    return Encode(uint8_t(Outcome::kRunError), *failure);
  return Encode(uint8_t(Outcome::kOverrun), std::get<Overrun>(answer));
}

template <class Results>
std::optional<Answer<Results>> DecodeAnswer(std::string_view message) {
  Reader r(message);
  switch (static_cast<Outcome>(r.First())) {
    case Outcome::kReturned:
      if (auto results = DecodeFields<Results>(r)) return Answer<Results>(std::move(*results));
      break;
    case Outcome::kRunError:
      if (auto failure = DecodeFields<RunFailure>(r)) return Answer<Results>(std::move(*failure));
      break;
    case Outcome::kOverrun:
      if (auto overrun = DecodeFields<Overrun>(r)) return Answer<Results>(std::move(*overrun));
      break;
  }
  return std::nullopt;
}

}  // namespace hx::vendor_protocol

#endif  // HX_COMM_VENDOR_PROTOCOL_H_
