// The vendor's libraries, each run in a host process of its own (HX_VENDOR,
// beside the program, host/vendor_host.h), started at the first call into
// that library; LUMOMWD's starts during LumoCom's first call, since
// conversions follow queries.  Each call is one request to the host and one
// answer (comm/vendor_protocol.h), and each library sees exactly the calls,
// in exactly the order, that the program makes into it.
//
// The libraries are closed code that nobody here can fix: a library that
// crashes, writes far past the buffers it was given, or does not return
// within kVendorCallBound ends its host, not the program.  That call raises
// RunError 49 ("Vendor library failed") for its routine's trap, which
// reports it once; the library is not trusted again in this run, and every
// later call into it fails at once without a second message.  A library or
// function that cannot be had raises 53 or 453 as it always did.  While a
// call is under way, the window keeps answering (idle runs every few
// milliseconds).  Single-threaded.

#ifndef HX_COMM_HOSTED_VENDOR_H_
#define HX_COMM_HOSTED_VENDOR_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "comm/vendor_abi.h"
#include "comm/vendor_protocol.h"
#include "platform/helper_process.h"
#include "platform/vendor.h"

namespace hx {

// How long one call into a vendor library may take before the library is
// taken for hung: far above any library's own time-out for a controller
// that does not answer.
inline constexpr std::chrono::milliseconds kVendorCallBound = std::chrono::seconds(60);

// kVendorCallBound, or the shorter bound HX_VENDOR_BOUND_MS gives in
// milliseconds: tests of a library that hangs need not wait a minute for
// it.  A setting that is no number of milliseconds above 0 is passed over,
// and one above kVendorCallBound is held to it.
std::chrono::milliseconds VendorCallBound();

// The host's file name, beside the program's, with the suffix the build
// gives programs (HX_EXECUTABLE_SUFFIX).
inline constexpr const char* kVendorHostName = "HX_VENDOR" HX_EXECUTABLE_SUFFIX;

class HostedVendor : public VendorLibraries {
 public:
  HostedVendor(HelperLauncher& launcher, const std::string& program_folder,
               std::function<void()> idle, std::chrono::milliseconds bound = kVendorCallBound);
  // Tells every host that the program is done before any is waited for,
  // so that they end side by side.
  ~HostedVendor() override;
  HostedVendor(const HostedVendor&) = delete;
  HostedVendor& operator=(const HostedVendor&) = delete;

  int16_t T31MdsOpenController(int32_t* handle, char* name) override;
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override;
  int16_t T31MdsSendReceSz(int32_t handle, char* command, char* reply, int32_t reply_size) override;
  int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                           int32_t* text_length) override;
  int16_t StringAsLong(int32_t* value, char* text) override;
  int16_t StringAsFloat(float* value, char* text) override;

 private:
  struct Host {
    explicit Host(const char* name) : library(name) {}
    const char* library;
    std::unique_ptr<HelperProcess> process;
    bool failed = false;
  };

  // Sends call to host and returns the results of its answer.
  template <class C>
  typename C::Results Call(Host& host, const C& call);
  [[noreturn]] void Fail(Host& host, const std::string& why);

  HelperLauncher& launcher_;
  std::string host_path_;
  std::function<void()> idle_;
  std::chrono::milliseconds bound_;
  Host lumo_com_{vendor_abi::kLumoCom};
  Host lumo_err_{vendor_abi::kLumoErr};
  Host lumo_mwd_{vendor_abi::kLumoMwd};
};

}  // namespace hx

#endif  // HX_COMM_HOSTED_VENDOR_H_
