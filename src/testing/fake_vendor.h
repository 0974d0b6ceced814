// A scriptable stand-in for the vendor libraries in the core's tests.  Every
// call is recorded; the answers come from the function members, which tests
// replace.  The defaults know no controller.

#ifndef HX_TESTING_FAKE_VENDOR_H_
#define HX_TESTING_FAKE_VENDOR_H_

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/vendor.h"

namespace hx::testing {

class FakeVendor : public VendorLibraries {
 public:
  // "open NAME", "send HANDLE COMMAND", "puc HANDLE", "errtext CODE", "long TEXT", "float TEXT".
  std::vector<std::string> calls;

  // Answers: (name) -> {status, handle}
  std::function<std::pair<int16_t, int32_t>(const std::string&)> open = [](const std::string&) {
    return std::pair<int16_t, int32_t>{-1, 0};
  };
  // (handle, command) -> {status, reply}
  std::function<std::pair<int16_t, std::string>(int32_t, const std::string&)> send =
      [](int32_t, const std::string&) {
        return std::pair<int16_t, std::string>{-1, ""};
      };
  std::function<int16_t(int32_t)> puc = [](int32_t) -> int16_t { return 0; };
  std::function<std::string(int16_t)> error_text = [](int16_t code) {
    return "status " + std::to_string(code);
  };

  // Lengths outside the libraries' contract: when set, reported instead of the true one.
  std::optional<int32_t> reported_reply_length;
  std::optional<int32_t> reported_text_length;
  // Whether a conversion of text that does not start with a number still
  // stores (0); some libraries leave the value untouched instead.
  bool stores_without_number = true;
  // The reply size the caller offered, one entry per exchange.
  std::vector<int32_t> reply_sizes;  // queries and power-up clears alike

  int16_t T31MdsOpenController(int32_t* handle, char* name) override {
    calls.push_back(std::string("open ") + name);
    auto [status, h] = open(name);
    *handle = h;
    return status;
  }
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override {
    std::string cmd(command, static_cast<size_t>(command_length));
    calls.push_back("send " + std::to_string(handle) + " " + cmd);
    reply_sizes.push_back(reply_size);
    auto [status, text] = send(handle, cmd);
    size_t n = std::min(text.size(), static_cast<size_t>(reply_size));
    std::memcpy(reply, text.data(), n);
    *reply_length = reported_reply_length.value_or(static_cast<int32_t>(text.size()));
    return status;
  }
  int16_t T31MdsSendReceSz(int32_t handle, char* command, char*, int32_t reply_size) override {
    calls.push_back("puc " + std::to_string(handle) + " " + command);
    reply_sizes.push_back(reply_size);
    return puc(handle);
  }
  int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                           int32_t* text_length) override {
    calls.push_back("errtext " + std::to_string(code));
    std::string t = error_text(code);
    size_t n = std::min(t.size(), static_cast<size_t>(text_size));
    std::memcpy(text, t.data(), n);
    *text_length = reported_text_length.value_or(static_cast<int32_t>(n));
    return 0;
  }
  int16_t StringAsLong(int32_t* value, char* text) override {
    calls.push_back(std::string("long ") + text);
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text && !stores_without_number) return -1;
    *value = static_cast<int32_t>(v);
    return 0;
  }
  int16_t StringAsFloat(float* value, char* text) override {
    calls.push_back(std::string("float ") + text);
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text && !stores_without_number) return -1;
    *value = v;
    return 0;
  }
};

}  // namespace hx::testing

#endif  // HX_TESTING_FAKE_VENDOR_H_
