// A communication library that can open but not exchange: it exports only
// the open call, so that the loader's "function not found" path can be tried
// against a real shared library.

#include "comm/vendor_abi.h"

extern "C" HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL T31MdsOpenController(int32_t* handle, char*) {
  if (handle != nullptr) *handle = 0;
  return -2;
}
