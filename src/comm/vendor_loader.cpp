#include "comm/vendor_loader.h"

#include "ui/run_error.h"

// Placeholder until the libraries are loaded for real: every call fails as a
// missing library would.
namespace hx {
VendorLoader::VendorLoader(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}
VendorLoader::~VendorLoader() = default;
int16_t VendorLoader::T31MdsOpenController(int32_t*, char*) {
  throw RunError(err::kFileNotFound, "LumoCom");
}
int16_t VendorLoader::T31MdsSendRece(int32_t, char*, int32_t, char*, int32_t, int32_t*) {
  throw RunError(err::kFileNotFound, "LumoCom");
}
int16_t VendorLoader::T31MdsSendReceSz(int32_t, char*, char*, int32_t) {
  throw RunError(err::kFileNotFound, "LumoCom");
}
int16_t VendorLoader::T31ErrorAsString(int16_t, char*, int32_t, int32_t*) {
  throw RunError(err::kFileNotFound, "LumoErr");
}
int16_t VendorLoader::StringAsLong(int32_t*, char*) {
  throw RunError(err::kFileNotFound, "LUMOMWD");
}
int16_t VendorLoader::StringAsFloat(float*, char*) {
  throw RunError(err::kFileNotFound, "LUMOMWD");
}
}  // namespace hx
