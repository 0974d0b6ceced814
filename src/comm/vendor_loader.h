// The vendor's real libraries, loaded at run time from the program's own
// folder first and then from the system's search path (never from the
// current folder), on first use.
//
// Loading late means a missing library is not a refusal to start but a
// failure of the one routine that needs it: a library that cannot be loaded
// raises RunError 53 naming it, a function missing from it RunError 453, and
// the calling routine's trap reports that like any other failure.  A library
// that failed to load is not tried again in the same run.  On 32-bit Windows
// a function is also looked up as the callee-cleans convention decorates it
// (name@N, _name@N), so that DLLs built either way work.
//
// The calls are the same everywhere; loading a library and finding a
// function in it is each platform layer's (qt/vendor_loader_posix.cpp,
// win32/vendor_loader_win32.cpp), which also defines the constructor and
// the destructor.  Owns the loaded libraries and frees them when destroyed.
// Single-threaded.

#ifndef HX_COMM_VENDOR_LOADER_H_
#define HX_COMM_VENDOR_LOADER_H_

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

  int16_t T31MdsOpenController(int32_t* handle, char* name) override {
    return Resolve(lumo_com_, open_controller_, "T31MdsOpenController", 2)(handle, name);
  }
  int16_t T31MdsSendRece(int32_t handle, char* command, int32_t command_length, char* reply,
                         int32_t reply_size, int32_t* reply_length) override {
    return Resolve(lumo_com_, send_rece_, "T31MdsSendRece", 6)(handle, command, command_length,
                                                               reply, reply_size, reply_length);
  }
  int16_t T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                           int32_t reply_size) override {
    return Resolve(lumo_com_, send_rece_sz_, "T31MdsSendReceSz", 4)(handle, command, reply,
                                                                    reply_size);
  }
  int16_t T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                           int32_t* text_length) override {
    return Resolve(lumo_err_, error_as_string_, "T31ErrorAsString", 4)(code, text, text_size,
                                                                       text_length);
  }
  int16_t StringAsLong(int32_t* value, char* text) override {
    return Resolve(lumo_mwd_, string_as_long_, "StringAsLong", 2)(value, text);
  }
  int16_t StringAsFloat(float* value, char* text) override {
    return Resolve(lumo_mwd_, string_as_float_, "StringAsFloat", 2)(value, text);
  }

 private:
  struct Library {
    const char* name;
    void* module = nullptr;  // the platform's handle of the loaded library
    bool tried = false;
  };

  // The address of function in library, loading the library first if
  // needed.  arguments is how many the function takes: on a 32-bit stack
  // each takes four bytes, the N of a decorated name.
  void* Function(Library& library, const char* function, int arguments);
  template <class Fn>
  Fn Resolve(Library& library, Fn& cache, const char* function, int arguments) {
    if (cache == nullptr) cache = reinterpret_cast<Fn>(Function(library, function, arguments));
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

#endif  // HX_COMM_VENDOR_LOADER_H_
