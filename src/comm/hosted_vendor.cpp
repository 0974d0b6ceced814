#include "comm/hosted_vendor.h"

#include <algorithm>
#include <cerrno>
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

// The content of a caller's buffer of size bytes.
std::string_view Content(const char* buffer, int32_t size) {
  return {buffer, static_cast<size_t>(std::max(size, 0))};
}

}  // namespace

std::chrono::milliseconds VendorCallBound() {
  const char* text = std::getenv("HX_VENDOR_BOUND_MS");
  if (text == nullptr) return kVendorCallBound;
  char* end = nullptr;
  errno = 0;
  const long long ms = std::strtoll(text, &end, 10);
  if (end == text || ms <= 0) return kVendorCallBound;
  // Far beyond the bound (and beyond what a clock can add) is the bound.
  if (errno == ERANGE || ms > kVendorCallBound.count()) return kVendorCallBound;
  return std::chrono::milliseconds(ms);
}

HostedVendor::HostedVendor(HelperLauncher& launcher, const std::string& program_folder,
                           std::function<void()> idle, std::chrono::milliseconds bound)
    : launcher_(launcher),
      host_path_(JoinPath(program_folder, kVendorHostName)),
      idle_(std::move(idle)),
      bound_(bound) {}

HostedVendor::~HostedVendor() {
  for (Host* host : {&lumo_com_, &lumo_err_, &lumo_mwd_}) {
    if (host->process && !host->failed) host->process->Send({});
  }
}

void HostedVendor::Fail(Host& host, const std::string& why) {
  host.process->Kill();
  host.failed = true;
  throw RunError(err::kVendorFailed,
                 std::string(host.library) + ": " + why + "; it is not called again in this run");
}

template <class C>
typename C::Results HostedVendor::Call(Host& host, const C& call) {
  if (host.failed) throw RunError::AlreadyReported(err::kVendorFailed);
  const bool first = !host.process;
  if (first) {
    std::string why;
    host.process = launcher_.Start(host_path_, {host.library}, &why);
    // Without its host a library cannot be had, as if it were missing.
    if (!host.process) throw RunError(err::kFileNotFound, host_path_ + ": " + why);
  }
  if (!host.process->Send(vp::EncodeRequest(call)))
    throw RunError(err::kInternal, std::string(host.library) + ": a call longer than any message");
  // Conversions follow queries: LUMOMWD's host starts while LumoCom's first
  // call is under way, so that it is ready by the first value.  Its library
  // is loaded at its first call all the same; a host that cannot start now
  // is tried again then.
  if (first && &host == &lumo_com_ && !lumo_mwd_.process) {
    std::string ignored;
    lumo_mwd_.process = launcher_.Start(host_path_, {lumo_mwd_.library}, &ignored);
  }

  std::string answer;
  switch (host.process->Receive(answer, bound_, idle_)) {
    case HelperProcess::ReadResult::kData:
      break;
    case HelperProcess::ReadResult::kEnded:
      Fail(host, "it crashed (its host ended: " + host.process->Ending() + ")");
    case HelperProcess::ReadResult::kTimedOut:
      Fail(host, "the call did not return within " + std::to_string(bound_.count()) + " ms");
    case HelperProcess::ReadResult::kTooLong:
      Fail(host, "its host sent an answer longer than any call has");
  }
  std::optional<vp::Answer<typename C::Results>> decoded =
      vp::DecodeAnswer<typename C::Results>(answer);
  if (!decoded) Fail(host, "its host sent an answer that cannot be read");
  if (auto* results = std::get_if<typename C::Results>(&*decoded)) return std::move(*results);
  if (auto* failure = std::get_if<vp::RunFailure>(&*decoded))
    throw RunError(failure->number, std::move(failure->detail));
  Fail(host, std::get<vp::Overrun>(*decoded).detail);
}

int16_t HostedVendor::T31MdsOpenController(int32_t* handle, char* name) {
  const auto results = Call(lumo_com_, vp::OpenController{name});
  *handle = results.handle;
  return results.status;
}

int16_t HostedVendor::T31MdsSendRece(int32_t handle, char* command, int32_t command_length,
                                     char* reply, int32_t reply_size, int32_t* reply_length) {
  const auto results =
      Call(lumo_com_, vp::SendRece{handle, command, command_length, std::max(reply_size, 0)});
  CopyBack(results.reply, reply, reply_size);
  *reply_length = results.reply_length;
  return results.status;
}

int16_t HostedVendor::T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                                       int32_t reply_size) {
  const auto results =
      Call(lumo_com_, vp::SendReceSz{handle, command, std::string(Content(reply, reply_size)),
                                     std::max(reply_size, 0)});
  CopyBack(results.reply, reply, reply_size);
  return results.status;
}

int16_t HostedVendor::T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                                       int32_t* text_length) {
  const auto results =
      Call(lumo_err_,
           vp::ErrorAsString{code, std::string(Content(text, text_size)), std::max(text_size, 0)});
  CopyBack(results.text, text, text_size);
  *text_length = results.text_length;
  return results.status;
}

int16_t HostedVendor::StringAsLong(int32_t* value, char* text) {
  const auto results = Call(lumo_mwd_, vp::StringAsLong{text});
  *value = results.value;
  return results.status;
}

int16_t HostedVendor::StringAsFloat(float* value, char* text) {
  const auto results = Call(lumo_mwd_, vp::StringAsFloat{text});
  *value = results.value;
  return results.status;
}

}  // namespace hx
