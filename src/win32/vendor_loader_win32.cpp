#include "comm/vendor_loader.h"

#include <windows.h>

#include "base/paths.h"
#include "base/run_error.h"
#include "win32/system_text.h"

namespace hx {

namespace {

HMODULE Module(void* module) {
  return static_cast<HMODULE>(module);
}

}  // namespace

VendorLoader::VendorLoader(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}

VendorLoader::~VendorLoader() {
  for (Library* library : {&lumo_com_, &lumo_err_, &lumo_mwd_}) {
    if (library->module != nullptr) FreeLibrary(Module(library->module));
  }
}

void* VendorLoader::Function(Library& library, const char* function, int arguments) {
  if (!library.tried) {
    library.tried = true;
    const std::string file = std::string(library.name) + ".dll";
    std::string reasons;
    // The copy beside the program wins over anything installed system-wide,
    // so that a plant can carry the library version it was commissioned
    // with; libraries it needs in turn are looked for beside it as well.
    if (!program_folder_.empty()) {
      const std::string beside = JoinPath(program_folder_, file);
      library.module = LoadLibraryExA(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      if (library.module == nullptr) reasons = beside + ": " + LastSystemError() + "; ";
    }
    if (library.module == nullptr) {
      // The system's search path without the current folder, which is
      // whatever folder a scheduler or a shortcut happened to start us in
      // (main has taken the current folder out of the search).
      library.module = LoadLibraryExA(file.c_str(), nullptr, 0);
    }
    if (library.module == nullptr) {
      throw RunError(err::kFileNotFound, reasons + file + ": " + LastSystemError());
    }
  }
  if (library.module == nullptr) {
    throw RunError(err::kFileNotFound, std::string(library.name) + ": could not be loaded");
  }
  const std::string plain = function;
  // Every argument, the 16-bit code included, takes four bytes on a 32-bit stack.
  const std::string decorated = plain + "@" + std::to_string(4 * arguments);
  for (const std::string& name : {plain, decorated, "_" + decorated}) {
    if (FARPROC address = GetProcAddress(Module(library.module), name.c_str()))
      return reinterpret_cast<void*>(address);
  }
  throw RunError(err::kDllFunctionNotFound, std::string(library.name) + ": " + function);
}

}  // namespace hx
