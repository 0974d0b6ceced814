// HX_VENDOR, the host of one vendor library (comm/hosted_vendor.h): the
// program starts it at its first call into the library and hands it each
// call over a channel of their own (comm/vendor_channel.h); the host makes
// the call and answers it.
//
// The host is to the library what the program's own process was: its
// standard streams are the null device, as a window program's are; it holds
// nothing of the program's but its channel, of which a process the library
// starts gets neither the memory nor, once it runs another program, the
// doorbell; and it ends with the program, however the program ends.
//
// Single-threaded.

#ifndef HX_HOST_VENDOR_HOST_H_
#define HX_HOST_VENDOR_HOST_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "comm/vendor_channel.h"
#include "platform/vendor.h"

namespace hx {

// Every buffer the library gets has this much spare room behind the size it
// is told, filled with a known pattern: a library that writes a little past
// a buffer harms nothing, and one that wrote past it at all is reported and
// not called again (its host may have been damaged where nobody can see).
inline constexpr size_t kSpareRoom = 16 * 1024;

// Makes the call a request asks for and returns the answer to send back.  A
// library or function that cannot be had is an answer too; a request that
// cannot be read is answered as a failure of the program's own.
std::string AnswerRequest(VendorLibraries& vendor, std::string_view request);

// The host's side of its channel, made from what the program named on the
// host's command line (the arguments after the library's name).  One
// implementation per platform layer (posix/vendor_host_posix.cpp,
// win32/vendor_host_win32.cpp).  Making it also binds the host's life to
// the program's, keeps the channel from whatever the library starts, and
// has a crash end the host at once (on Windows, without a crash dialog).
class HostChannel {
 public:
  virtual ~HostChannel() = default;
  virtual ChannelRegion& region() = 0;
  virtual Doorbell& bell() = 0;
};
// Null when the arguments name no channel, or the program has already ended.
std::unique_ptr<HostChannel> OpenHostChannel(const std::vector<std::string>& arguments);

}  // namespace hx

#endif  // HX_HOST_VENDOR_HOST_H_
