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
// The calls and the order of the search are the same everywhere; the few
// system calls behind them (a library's file name, loading, finding a
// function, freeing) are each platform layer's (posix/vendor_loader_posix.cpp,
// win32/vendor_loader_win32.cpp).  Owns the loaded libraries and frees them
// when destroyed.  Single-threaded.

#ifndef HX_COMM_VENDOR_LOADER_H_
#define HX_COMM_VENDOR_LOADER_H_

#include <string>
#include <utility>

#include "base/paths.h"
#include "base/run_error.h"
#include "comm/vendor_abi.h"
#include "platform/vendor.h"

namespace hx {

class VendorLoader : public VendorLibraries {
 public:
  explicit VendorLoader(std::string program_folder) : program_folder_(std::move(program_folder)) {}
  ~VendorLoader() override {
    for (Library* library : {&lumo_com_, &lumo_err_, &lumo_mwd_})
      if (library->module != nullptr) Free(library->module);
  }
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
  // needed.  arguments is how many the function takes (a 32-bit Windows
  // DLL may export it under a name that tells their size).
  void* Function(Library& library, const char* function, int arguments) {
    if (!library.tried) {
      library.tried = true;
      const std::string file = FileName(library.name);
      std::string reasons;
      // The copy beside the program wins over anything installed
      // system-wide, so that a plant can carry the library version it was
      // commissioned with.
      if (!program_folder_.empty()) {
        const std::string beside = JoinPath(program_folder_, file);
        library.module = Load(beside, true);
        if (library.module == nullptr) reasons = beside + ": " + LoadError() + "; ";
      }
      if (library.module == nullptr) library.module = Load(file, false);
      if (library.module == nullptr)
        throw RunError(err::kFileNotFound, reasons + file + ": " + LoadError());
    }
    if (library.module == nullptr)
      throw RunError(err::kFileNotFound, std::string(library.name) + ": could not be loaded");
    void* address = Find(library.module, function, arguments);
    if (address == nullptr)
      throw RunError(err::kDllFunctionNotFound, std::string(library.name) + ": " + function);
    return address;
  }

  // The platform's part.  The file name of the library named base; the
  // library loaded from path (beside the program, or by the system's search
  // without the current folder), null when it cannot be; why the latest
  // load failed; the address of function, null when the library lacks it;
  // freeing a loaded library.
  static std::string FileName(const char* base);
  static void* Load(const std::string& path, bool beside_program);
  static std::string LoadError();
  static void* Find(void* module, const char* function, int arguments);
  static void Free(void* module);

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
