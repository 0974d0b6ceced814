// HX_VENDOR LIBRARY: the host of one vendor library.  HX_RPT starts it at its
// first call into the library and sends it each call over standard input;
// it answers each on standard output (comm/vendor_protocol.h) and ends when
// its standard input does.
//
// A library that crashes or never returns takes only this process with it.
// Every buffer the library gets has spare room behind the size it is told,
// filled with a known pattern: a library that writes a little past a buffer
// harms nothing, and one that wrote past it at all is reported and not
// called again (its host may have been damaged where nobody can see).

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_error.h"
#include "comm/vendor_loader.h"
#include "comm/vendor_protocol.h"
#include "platform/executable_folder.h"

namespace {

namespace vp = hx::vendor_protocol;

constexpr size_t kSpare = 16 * 1024;
constexpr char kPattern = '\xA5';

// What the spare room holds until a library writes into it.
const std::string& SparePattern() {
  static const std::string pattern(kSpare, kPattern);
  return pattern;
}

// A writable buffer for the library: the content, zeros up to size and the
// terminator's place, then the spare room.
class Buffer {
 public:
  Buffer(std::string_view content, size_t size)
      : room_(std::max(size, content.size()) + 1), bytes_(content.begin(), content.end()) {
    bytes_.resize(room_, '\0');
    bytes_.resize(room_ + kSpare, kPattern);
  }
  char* data() { return bytes_.data(); }
  std::string_view Content() const { return {bytes_.data(), room_}; }
  bool Overrun() const {
    return std::memcmp(bytes_.data() + room_, SparePattern().data(), kSpare) != 0;
  }

 private:
  size_t room_;
  std::vector<char> bytes_;
};

std::string Overrun(const char* function) {
  return vp::Writer()
      .U8(uint8_t(vp::Outcome::kOverrun))
      .Text(std::string(function) + " wrote past the end of a buffer it was given")
      .body();
}

// One call, as the request asks for it; the answer's body.
std::string Answer(hx::VendorLibraries& vendor, std::string_view request) {
  vp::Reader r(request);
  vp::Writer w;
  w.U8(uint8_t(vp::Outcome::kReturned));
  switch (static_cast<vp::Call>(r.U8())) {
    case vp::Call::kOpenController: {
      Buffer name(r.Text(), 0);
      if (!r.ok()) break;
      int32_t handle = 0;
      const int16_t status = vendor.T31MdsOpenController(&handle, name.data());
      if (name.Overrun()) return Overrun("T31MdsOpenController");
      return w.I16(status).I32(handle).body();
    }
    case vp::Call::kSendRece: {
      const int32_t handle = r.I32();
      Buffer command(r.Text(), 0);
      const int32_t command_length = r.I32();
      const int32_t size = r.I32();
      if (!r.ok() || size < 0) break;
      Buffer reply({}, static_cast<size_t>(size));
      int32_t reply_length = 0;
      const int16_t status = vendor.T31MdsSendRece(handle, command.data(), command_length,
                                                   reply.data(), size, &reply_length);
      if (command.Overrun() || reply.Overrun()) return Overrun("T31MdsSendRece");
      return w.I16(status).Text(reply.Content()).I32(reply_length).body();
    }
    case vp::Call::kSendReceSz: {
      const int32_t handle = r.I32();
      Buffer command(r.Text(), 0);
      const std::string content = r.Text();
      const int32_t size = r.I32();
      if (!r.ok() || size < 0) break;
      Buffer reply(content, static_cast<size_t>(size));
      const int16_t status = vendor.T31MdsSendReceSz(handle, command.data(), reply.data(), size);
      if (command.Overrun() || reply.Overrun()) return Overrun("T31MdsSendReceSz");
      return w.I16(status).Text(reply.Content()).body();
    }
    case vp::Call::kErrorAsString: {
      const int16_t code = r.I16();
      const std::string content = r.Text();
      const int32_t size = r.I32();
      if (!r.ok() || size < 0) break;
      Buffer text(content, static_cast<size_t>(size));
      int32_t text_length = 0;
      const int16_t status = vendor.T31ErrorAsString(code, text.data(), size, &text_length);
      if (text.Overrun()) return Overrun("T31ErrorAsString");
      return w.I16(status).Text(text.Content()).I32(text_length).body();
    }
    case vp::Call::kStringAsLong: {
      Buffer text(r.Text(), 0);
      if (!r.ok()) break;
      int32_t value = 0;
      const int16_t status = vendor.StringAsLong(&value, text.data());
      if (text.Overrun()) return Overrun("StringAsLong");
      return w.I16(status).I32(value).body();
    }
    case vp::Call::kStringAsFloat: {
      Buffer text(r.Text(), 0);
      if (!r.ok()) break;
      float value = 0;
      const int16_t status = vendor.StringAsFloat(&value, text.data());
      if (text.Overrun()) return Overrun("StringAsFloat");
      int32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      return w.I16(status).I32(bits).body();
    }
  }
  return vp::Writer()
      .U8(uint8_t(vp::Outcome::kRunError))
      .I32(hx::err::kInternal)
      .Text("HX_VENDOR: a request it cannot read")
      .body();
}

long ReadSome(char* buffer, size_t size) {
#ifdef _WIN32
  return _read(0, buffer, static_cast<unsigned>(size));
#else
  return ::read(0, buffer, size);
#endif
}

bool WriteAll(std::string_view data) {
  while (!data.empty()) {
#ifdef _WIN32
    const long n = _write(1, data.data(), static_cast<unsigned>(data.size()));
#else
    const long n = ::write(1, data.data(), data.size());
#endif
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

int main() {
#ifdef _WIN32
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
#endif
  hx::VendorLoader vendor(hx::ExecutableFolder());
  std::string received;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const long n = ReadSome(buffer.data(), buffer.size());
    if (n <= 0) return 0;  // HX_RPT is done with the library
    received.append(buffer.data(), static_cast<size_t>(n));
    bool too_long = false;
    while (std::optional<std::string> request = vp::TakeMessage(received, too_long)) {
      std::string answer;
      try {
        answer = Answer(vendor, *request);
      } catch (const hx::RunError& e) {
        answer = vp::Writer()
                     .U8(uint8_t(vp::Outcome::kRunError))
                     .I32(e.number())
                     .Text(e.detail())
                     .body();
      }
      if (!WriteAll(vp::Frame(answer))) return 0;
    }
    if (too_long) return 3;
  }
}
