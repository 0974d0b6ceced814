#include <dlfcn.h>

#include "base/paths.h"
#include "base/run_error.h"
#include "comm/vendor_loader.h"

#ifndef HX_SHARED_LIBRARY_PREFIX
#define HX_SHARED_LIBRARY_PREFIX "lib"
#endif
#ifndef HX_SHARED_LIBRARY_SUFFIX
#define HX_SHARED_LIBRARY_SUFFIX ".so"
#endif

namespace hx {

namespace {

std::string LastLoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown reason";
}

}  // namespace

VendorLoader::VendorLoader(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}

VendorLoader::~VendorLoader() {
  for (Library* library : {&lumo_com_, &lumo_err_, &lumo_mwd_}) {
    if (library->module != nullptr) dlclose(library->module);
  }
}

void* VendorLoader::Function(Library& library, const char* function, int /*arguments*/) {
  if (!library.tried) {
    library.tried = true;
    const std::string file =
        std::string(HX_SHARED_LIBRARY_PREFIX) + library.name + HX_SHARED_LIBRARY_SUFFIX;
    std::string reasons;
    // The copy beside the program wins over anything installed system-wide, so
    // that a plant can carry the library version it was commissioned with.
    if (!program_folder_.empty()) {
      const std::string beside = JoinPath(program_folder_, file);
      library.module = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (library.module == nullptr) reasons = LastLoaderError() + "; ";
    }
    if (library.module == nullptr) library.module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library.module == nullptr) {
      throw RunError(err::kFileNotFound,
                     std::string(library.name) + ": " + reasons + LastLoaderError());
    }
  }
  if (library.module == nullptr) {
    throw RunError(err::kFileNotFound, std::string(library.name) + ": could not be loaded");
  }
  dlerror();
  void* address = dlsym(library.module, function);
  if (address == nullptr) {
    throw RunError(err::kDllFunctionNotFound, std::string(library.name) + ": " + function);
  }
  return address;
}

}  // namespace hx
