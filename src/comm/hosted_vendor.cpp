#include "comm/hosted_vendor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/paths.h"
#include "base/run_error.h"
#include "comm/vendor_abi.h"

namespace hx {

namespace vp = vendor_protocol;

namespace {

// What the library left in a buffer of the caller's, as long as the caller's
// buffer is: the size it told the library and the terminator's place.
void CopyBack(const std::string& from, char* to, int32_t size) {
  const size_t room = static_cast<size_t>(std::max(size, 0)) + 1;
  std::memcpy(to, from.data(), std::min(from.size(), room));
}

constexpr const char* kUnreadable = "its host sent an answer that cannot be read";

int32_t Size(int32_t size) {
  return std::max(size, 0);
}

}  // namespace

std::chrono::milliseconds VendorCallBound() {
  const char* text = std::getenv("HX_VENDOR_BOUND_MS");
  const long long ms = text != nullptr ? std::atoll(text) : 0;
  return ms > 0 ? std::chrono::milliseconds(ms) : kVendorCallBound;
}

HostedVendor::HostedVendor(HelperLauncher& launcher, const std::string& program_folder,
                           std::function<void()> idle, std::chrono::milliseconds bound)
    : launcher_(launcher),
      host_path_(JoinPath(program_folder, kVendorHostName)),
      idle_(std::move(idle)),
      bound_(bound) {}

void HostedVendor::Fail(Host& host, const std::string& why) {
  host.process->Kill();
  host.failed = true;
  throw RunError(err::kVendorFailed,
                 std::string(host.library) + ": " + why + "; it is not called again in this run");
}

vp::Reader HostedVendor::Call(Host& host, const vp::Writer& request, std::string& answer) {
  if (host.failed) throw RunError::AlreadyReported(err::kVendorFailed);
  if (!host.process) {
    std::string why;
    host.process = launcher_.Start(host_path_, {host.library}, &why);
    // Without its host a library cannot be had, as if it were missing.
    if (!host.process) throw RunError(err::kFileNotFound, host_path_ + ": " + why);
    host.received.clear();
  }
  if (!host.process->Write(vp::Frame(request.body())))
    Fail(host, "its host ended (" + host.process->Ending() + ")");

  const auto deadline = std::chrono::steady_clock::now() + bound_;
  for (;;) {
    bool too_long = false;
    if (std::optional<std::string> body = vp::TakeMessage(host.received, too_long)) {
      answer = std::move(*body);
      vp::Reader reader(answer);
      switch (static_cast<vp::Outcome>(reader.U8())) {
        case vp::Outcome::kReturned:
          return reader;
        case vp::Outcome::kRunError: {
          const int32_t number = reader.I32();
          std::string detail = reader.Text();
          if (!reader.ok()) break;
          throw RunError(number, std::move(detail));
        }
        case vp::Outcome::kOverrun: {
          std::string detail = reader.Text();
          if (!reader.ok()) break;
          Fail(host, detail);
        }
      }
      Fail(host, kUnreadable);
    }
    if (too_long) Fail(host, "its host sent an answer longer than any call has");
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      Fail(host, "the call did not return within " + std::to_string(bound_.count()) + " ms");
    }
    if (host.process->Read(host.received, left, idle_) == HelperProcess::ReadResult::kEnded)
      Fail(host, "it crashed (its host ended: " + host.process->Ending() + ")");
  }
}

int16_t HostedVendor::T31MdsOpenController(int32_t* handle, char* name) {
  std::string answer;
  vp::Reader r =
      Call(lumo_com_, vp::Writer().U8(uint8_t(vp::Call::kOpenController)).Text(name), answer);
  const int16_t status = r.I16();
  const int32_t opened = r.I32();
  if (!r.ok()) Fail(lumo_com_, kUnreadable);
  *handle = opened;
  return status;
}

int16_t HostedVendor::T31MdsSendRece(int32_t handle, char* command, int32_t command_length,
                                     char* reply, int32_t reply_size, int32_t* reply_length) {
  std::string answer;
  vp::Reader r = Call(lumo_com_,
                      vp::Writer()
                          .U8(uint8_t(vp::Call::kSendRece))
                          .I32(handle)
                          .Text(command)
                          .I32(command_length)
                          .I32(Size(reply_size)),
                      answer);
  const int16_t status = r.I16();
  const std::string replied = r.Text();
  const int32_t length = r.I32();
  if (!r.ok()) Fail(lumo_com_, kUnreadable);
  CopyBack(replied, reply, reply_size);
  *reply_length = length;
  return status;
}

int16_t HostedVendor::T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                                       int32_t reply_size) {
  std::string answer;
  vp::Reader r = Call(lumo_com_,
                      vp::Writer()
                          .U8(uint8_t(vp::Call::kSendReceSz))
                          .I32(handle)
                          .Text(command)
                          .Text(std::string_view(reply, static_cast<size_t>(Size(reply_size))))
                          .I32(Size(reply_size)),
                      answer);
  const int16_t status = r.I16();
  const std::string replied = r.Text();
  if (!r.ok()) Fail(lumo_com_, kUnreadable);
  CopyBack(replied, reply, reply_size);
  return status;
}

int16_t HostedVendor::T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                                       int32_t* text_length) {
  std::string answer;
  vp::Reader r = Call(lumo_err_,
                      vp::Writer()
                          .U8(uint8_t(vp::Call::kErrorAsString))
                          .I16(code)
                          .Text(std::string_view(text, static_cast<size_t>(Size(text_size))))
                          .I32(Size(text_size)),
                      answer);
  const int16_t status = r.I16();
  const std::string written = r.Text();
  const int32_t length = r.I32();
  if (!r.ok()) Fail(lumo_err_, kUnreadable);
  CopyBack(written, text, text_size);
  *text_length = length;
  return status;
}

int16_t HostedVendor::StringAsLong(int32_t* value, char* text) {
  std::string answer;
  vp::Reader r =
      Call(lumo_mwd_, vp::Writer().U8(uint8_t(vp::Call::kStringAsLong)).Text(text), answer);
  const int16_t status = r.I16();
  const int32_t converted = r.I32();
  if (!r.ok()) Fail(lumo_mwd_, kUnreadable);
  *value = converted;
  return status;
}

int16_t HostedVendor::StringAsFloat(float* value, char* text) {
  std::string answer;
  vp::Reader r =
      Call(lumo_mwd_, vp::Writer().U8(uint8_t(vp::Call::kStringAsFloat)).Text(text), answer);
  const int16_t status = r.I16();
  const int32_t bits = r.I32();
  if (!r.ok()) Fail(lumo_mwd_, kUnreadable);
  std::memcpy(value, &bits, sizeof *value);
  return status;
}

}  // namespace hx
