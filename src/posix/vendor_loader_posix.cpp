#include <dlfcn.h>

#include "comm/vendor_loader.h"

#ifndef HX_SHARED_LIBRARY_PREFIX
#define HX_SHARED_LIBRARY_PREFIX "lib"
#endif
#ifndef HX_SHARED_LIBRARY_SUFFIX
#define HX_SHARED_LIBRARY_SUFFIX ".so"
#endif

namespace hx {

std::string VendorLoader::FileName(const char* base) {
  return std::string(HX_SHARED_LIBRARY_PREFIX) + base + HX_SHARED_LIBRARY_SUFFIX;
}

void* VendorLoader::Load(const std::string& path, bool /*beside_program*/) {
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string VendorLoader::LoadError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown reason";
}

void* VendorLoader::Find(void* module, const char* function, int /*arguments*/) {
  return dlsym(module, function);
}

void VendorLoader::Free(void* module) {
  dlclose(module);
}

}  // namespace hx
