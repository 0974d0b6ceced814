// Wide text from the system as UTF-8, the way the program names files on
// Windows (platform/file_system.h), and such a name as the system's calls
// take it.
//
// Thread-compatible: a plain function.

#ifndef HX_WIN32_WIDE_TEXT_H_
#define HX_WIN32_WIDE_TEXT_H_

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace hx {

inline std::string Utf8(std::wstring_view text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// A file name held in UTF-8, for the wide-character calls.
inline std::filesystem::path NativePath(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace hx

#endif  // HX_WIN32_WIDE_TEXT_H_
