#include "comm/vendor_loader.h"

#include <windows.h>

#include "base/paths.h"
#include "win32/system_text.h"
#include "win32/wide_text.h"

namespace hx {

std::string VendorLoader::FileName(const char* base) {
  return std::string(base) + ".dll";
}

void* VendorLoader::Load(const std::string& path, bool beside_program) {
  // Only the program's folder and the system's own are searched, for the
  // library and for whatever it loads in turn, also later; a library beside
  // the program finds the ones it needs beside it.  Never the current
  // folder, which is whatever folder a scheduler or a shortcut happened to
  // start us in.
  static const bool restricted =
      SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  (void)restricted;
  const DWORD search = beside_program
                           ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                           : LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
  return LoadLibraryExW(NativePath(path).c_str(), nullptr, search);
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
