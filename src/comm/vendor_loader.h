// The real vendor libraries, loaded at run time from the program's own folder
// first and then from the system's search path, on first use.

#ifndef HX_COMM_VENDOR_LOADER_H_
#define HX_COMM_VENDOR_LOADER_H_

#include <string>

#include "comm/vendor.h"

namespace hx {

class VendorLoader : public VendorLibraries {
 public:
  explicit VendorLoader(std::string program_folder);
  ~VendorLoader() override;
  VendorLoader(const VendorLoader&) = delete;
  VendorLoader& operator=(const VendorLoader&) = delete;

  int16_t T31MdsOpenController(int32_t* handle, char* name) override;
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override;
  int16_t T31MdsSendReceSz(int32_t handle, char* command, char* reply, int32_t reply_size) override;
  int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                           int32_t* text_length) override;
  int16_t StringAsLong(int32_t* value, char* text) override;
  int16_t StringAsFloat(float* value, char* text) override;

 private:
  std::string program_folder_;
};

}  // namespace hx

#endif  // HX_COMM_VENDOR_LOADER_H_
