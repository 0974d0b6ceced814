#include "comm/vendor_loader.h"

#include <windows.h>

#include "base/paths.h"
#include "win32/system_text.h"

namespace hx {

std::string VendorLoader::FileName(const char* base) {
  return std::string(base) + ".dll";
}

void* VendorLoader::Load(const std::string& path, bool beside_program) {
  // A library beside the program finds the libraries it needs in turn
  // beside it as well.  The system's search has no current folder in it,
  // which is whatever folder a scheduler or a shortcut happened to start us
  // in: main took it out.
  return LoadLibraryExW(NativePath(path).c_str(), nullptr,
                        beside_program ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
}

std::string VendorLoader::LoadError() {
  return LastSystemError();
}

void* VendorLoader::Find(void* module, const char* function, int arguments) {
  // A 32-bit DLL of the callee-cleans convention may export the function
  // decorated with the size of its arguments, four bytes each, the 16-bit
  // code included.
  const std::string plain = function;
  const std::string decorated = plain + "@" + std::to_string(4 * arguments);
  for (const std::string& name : {plain, decorated, "_" + decorated}) {
    if (FARPROC address = GetProcAddress(static_cast<HMODULE>(module), name.c_str()))
      return reinterpret_cast<void*>(address);
  }
  return nullptr;
}

void VendorLoader::Free(void* module) {
  FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace hx
