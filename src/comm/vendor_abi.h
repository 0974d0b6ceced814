// The binary interface of the vendor's three closed libraries: the exported
// names and the C signatures the program calls them by.  Shared by the
// run-time loader and by our stand-in libraries in vendor/, so that both sides
// agree on argument order, widths and calling convention, and the vendor's
// own DLLs can be dropped in on the original platform.
//
// Statuses are 16-bit, handles and lengths 32-bit; every text is a
// zero-terminated 8-bit string in a buffer the caller owns and may let the
// library write into.

#ifndef HX_COMM_VENDOR_ABI_H_
#define HX_COMM_VENDOR_ABI_H_

#include <cstdint>

// The calling convention (HX_VENDOR_CALL) and the way a library exports a
// function (HX_VENDOR_EXPORT) are the build's to say, for the system it
// builds for: 32-bit Windows DLLs of that generation use the callee-cleans
// convention; everywhere else there is only one.

extern "C" {

// LumoCom
using T31MdsOpenControllerFn = int16_t(HX_VENDOR_CALL*)(int32_t* handle, char* name);
using T31MdsSendReceFn = int16_t(HX_VENDOR_CALL*)(int32_t handle, char* command,
                                                  int32_t command_length, char* reply,
                                                  int32_t reply_size, int32_t* reply_length);
using T31MdsSendReceSzFn = int16_t(HX_VENDOR_CALL*)(int32_t handle, char* command, char* reply,
                                                    int32_t reply_size);
// LumoErr
using T31ErrorAsStringFn = int16_t(HX_VENDOR_CALL*)(int16_t code, char* text, int32_t text_size,
                                                    int32_t* text_length);
// LUMOMWD
using StringAsLongFn = int16_t(HX_VENDOR_CALL*)(int32_t* value, char* text);
using StringAsFloatFn = int16_t(HX_VENDOR_CALL*)(float* value, char* text);

}  // extern "C"

// Library base names, without the platform's prefix and suffix.
namespace hx::vendor_abi {
inline constexpr const char* kLumoCom = "LumoCom";
inline constexpr const char* kLumoErr = "LumoErr";
inline constexpr const char* kLumoMwd = "LUMOMWD";
}  // namespace hx::vendor_abi

#endif  // HX_COMM_VENDOR_ABI_H_
