// Scratch folders, file reading and files in UTF-16 for the tests.

#ifndef HX_TESTING_TEST_FILES_H_
#define HX_TESTING_TEST_FILES_H_

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

namespace hx::testing {

// A fresh empty folder, removed with its content at the end of the test.
// Made by name and kept only when it did not exist yet, so that tests
// running in parallel never share one.
struct ScratchFolder {
  std::string path_ = [] {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
      const std::filesystem::path name = temp / ("hx_out_" + std::to_string(random()));
      if (std::filesystem::create_directory(name)) return name.string();
    }
  }();
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
};

inline std::string ReadFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// UTF-8 text as a file saved in UTF-16 with its byte order mark.
inline std::string Utf16File(std::string_view utf8, bool big_endian) {
  std::u16string units;
  for (size_t at = 0; at < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? byte : byte & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = (c << 6) | (utf8[at + k] & 0x3F);
    at += length;
    if (c >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      c = 0xDC00 + ((c - 0x10000) & 0x3FF);
    }
    units += static_cast<char16_t>(c);
  }
  std::string file;
  for (char16_t u : std::u16string(1, 0xFEFF) + units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    file += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return file;
}

}  // namespace hx::testing

#endif  // HX_TESTING_TEST_FILES_H_
