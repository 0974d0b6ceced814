// The vendor's real libraries LumoCom.dll, LumoErr.dll and LUMOMWD.dll,
// loaded at run time from the program's own folder first and then from the
// system's search path (never from the current folder), on first use.
//
// Loading late means a missing library is not a refusal to start but a
// failure of the one routine that needs it: a library that cannot be loaded
// raises RunError 53 naming it, a function missing from it RunError 453, and
// the calling routine's trap reports that like any other failure.  A library
// that failed to load is not tried again in the same run.  A function is
// looked up by its plain name, then as the 32-bit callee-cleans convention
// decorates it (name@N, _name@N), so that DLLs built either way work.
//
// Owns the loaded libraries and frees them when destroyed.  Single-threaded.

#ifndef HX_WIN32_VENDOR_LOADER_H_
#define HX_WIN32_VENDOR_LOADER_H_

#include <string>

#include "comm/vendor.h"
#include "comm/vendor_abi.h"

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
  struct Library {
    const char* name;
    void* module = nullptr;  // HMODULE of the loaded library
    bool tried = false;
  };

  // The address of function in library, loading the library first if
  // needed; argument_bytes is the size of the arguments on a 32-bit stack,
  // the N of a decorated name.
  void* Function(Library& library, const char* function, int argument_bytes);
  template <class Fn>
  Fn Resolve(Library& library, Fn& cache, const char* function, int argument_bytes) {
    if (cache == nullptr) cache = reinterpret_cast<Fn>(Function(library, function, argument_bytes));
    return cache;
  }

  std::string program_folder_;
  Library lumo_com_{vendor_abi::kLumoCom};
  Library lumo_err_{vendor_abi::kLumoErr};
  Library lumo_mwd_{vendor_abi::kLumoMwd};
  T31MdsOpenControllerFn open_controller_ = nullptr;
  T31MdsSendReceFn send_rece_ = nullptr;
  T31MdsSendReceSzFn send_rece_sz_ = nullptr;
  T31ErrorAsStringFn error_as_string_ = nullptr;
  StringAsLongFn string_as_long_ = nullptr;
  StringAsFloatFn string_as_float_ = nullptr;
};

}  // namespace hx

#endif  // HX_WIN32_VENDOR_LOADER_H_
