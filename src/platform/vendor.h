// The controller vendor's three closed libraries, as the program calls them.
//
// LumoCom opens controllers and exchanges commands, LumoErr turns a status
// into text, LUMOMWD converts reply text into numbers.  Texts go in as
// zero-terminated 8-bit strings in writable buffers owned by the caller;
// handles and lengths are 32-bit, statuses 16-bit.  HX_RPT and HX_CHECK call
// them through HostedVendor (comm/hosted_vendor.h), which runs each library
// in a host process of its own; there VendorLoader (comm/vendor_loader.h)
// loads it.  Tests use a fake.
//
// A library or function that cannot be had raises RunError (53 for a library
// that cannot be loaded, 453 for a missing function) at the call that needs it.

#ifndef HX_PLATFORM_VENDOR_H_
#define HX_PLATFORM_VENDOR_H_

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

class VendorLibraries {
 public:
  virtual ~VendorLibraries() = default;

  // LumoCom
  virtual int16_t T31MdsOpenController(int32_t* handle, char* name) = 0;
  virtual int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                                 int32_t reply_size, int32_t* reply_length) = 0;
  virtual int16_t T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                                   int32_t reply_size) = 0;
  // LumoErr
  virtual int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                                   int32_t* text_length) = 0;
  // LUMOMWD
  virtual int16_t StringAsLong(int32_t* value, char* text) = 0;
  virtual int16_t StringAsFloat(float* value, char* text) = 0;
};

// The libraries may write into any text they are given, so each gets a
// zero-terminated copy of its own and the program's text stays as it was.
inline std::vector<char> WritableCopy(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return copy;
}

}  // namespace hx

#endif  // HX_PLATFORM_VENDOR_H_
