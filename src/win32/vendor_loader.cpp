#include "win32/vendor_loader.h"

#include <windows.h>

#include "base/paths.h"
#include "base/run_error.h"
#include "win32/system_text.h"

namespace hx {

namespace {

HMODULE Module(void* module) {
  return static_cast<HMODULE>(module);
}

// Arguments of the functions on a 32-bit stack: every one, the 16-bit code
// included, takes four bytes.
constexpr int Arguments(int count) {
  return 4 * count;
}

}  // namespace

VendorLoader::VendorLoader(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}

VendorLoader::~VendorLoader() {
  for (Library* library : {&lumo_com_, &lumo_err_, &lumo_mwd_}) {
    if (library->module != nullptr) FreeLibrary(Module(library->module));
  }
}

void* VendorLoader::Function(Library& library, const char* function, int argument_bytes) {
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
      // whatever folder a scheduler or a shortcut happened to start us in.
      SetDllDirectoryA("");
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
  const std::string decorated = plain + "@" + std::to_string(argument_bytes);
  for (const std::string& name : {plain, decorated, "_" + decorated}) {
    if (FARPROC address = GetProcAddress(Module(library.module), name.c_str()))
      return reinterpret_cast<void*>(address);
  }
  throw RunError(err::kDllFunctionNotFound, std::string(library.name) + ": " + function);
}

int16_t VendorLoader::T31MdsOpenController(int32_t* handle, char* name) {
  return Resolve(lumo_com_, open_controller_, "T31MdsOpenController", Arguments(2))(handle, name);
}

int16_t VendorLoader::T31MdsSendRece(int32_t handle, char* command, int32_t command_length,
                                     char* reply, int32_t reply_size, int32_t* reply_length) {
  return Resolve(lumo_com_, send_rece_, "T31MdsSendRece", Arguments(6))(
      handle, command, command_length, reply, reply_size, reply_length);
}

int16_t VendorLoader::T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                                       int32_t reply_size) {
  return Resolve(lumo_com_, send_rece_sz_, "T31MdsSendReceSz", Arguments(4))(handle, command, reply,
                                                                             reply_size);
}

int16_t VendorLoader::T31ErrorAsString(int16_t code, char* text, int32_t text_size,
                                       int32_t* text_length) {
  return Resolve(lumo_err_, error_as_string_, "T31ErrorAsString", Arguments(4))(
      code, text, text_size, text_length);
}

int16_t VendorLoader::StringAsLong(int32_t* value, char* text) {
  return Resolve(lumo_mwd_, string_as_long_, "StringAsLong", Arguments(2))(value, text);
}

int16_t VendorLoader::StringAsFloat(float* value, char* text) {
  return Resolve(lumo_mwd_, string_as_float_, "StringAsFloat", Arguments(2))(value, text);
}

}  // namespace hx
