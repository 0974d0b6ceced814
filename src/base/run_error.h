// Run-time errors of HX_RPT and the checked arithmetic that raises them.
//
// Every trapping procedure of the program reports failures by their run-time
// error number (6 overflow, 9 subscript out of range, 53 file not found, ...).
// Code inside a trapped procedure raises a RunError; the procedure's trap
// (Trap in run/report_error.h) turns it into exactly one ReportError call.  Counters, widths
// and settings are 16-bit signed values: arithmetic that leaves that range is
// an overflow, an index outside a table is a subscript error.
//
// Thread-compatible: plain values and functions, no shared state.

#ifndef HX_BASE_RUN_ERROR_H_
#define HX_BASE_RUN_ERROR_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace hx {

// Run-time error numbers the program raises itself or maps platform failures to.
namespace err {
inline constexpr int32_t kInvalidCall = 5;  // invalid procedure call or argument
inline constexpr int32_t kOverflow = 6;     // 16-bit value out of range
inline constexpr int32_t kOutOfMemory = 7;
// A vendor library crashed, wrote past its buffers or did not return.
inline constexpr int32_t kVendorFailed = 49;
inline constexpr int32_t kSubscript = 9;  // index outside a table's slots
inline constexpr int32_t kInternal = 51;  // anything the program did not foresee
inline constexpr int32_t kBadFileName = 52;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kBadFileMode = 54;  // a file that is not of the kind expected
inline constexpr int32_t kDeviceIo = 57;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kTooManyFiles = 67;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kDllFunctionNotFound = 453;
inline constexpr int32_t kPrinterError = 482;
}  // namespace err

// A failure carried to the trap of the procedure that is running.  The detail
// (which file, which library) goes to the run's notes (RunNotes); the report
// text is built from the number alone (see run/report_error.h).
class RunError {
 public:
  explicit RunError(int32_t number, std::string detail = {})
      : number_(number), detail_(std::move(detail)) {}
  int32_t number() const { return number_; }
  const std::string& detail() const { return detail_; }

  // The same failure as one reported before in this run (a vendor library
  // that is no longer called): the trap gives up its procedure's work
  // without a second message.
  static RunError AlreadyReported(int32_t number) {
    RunError e(number);
    e.reported_ = true;
    return e;
  }
  bool already_reported() const { return reported_; }

 private:
  int32_t number_;
  std::string detail_;
  bool reported_ = false;
};

// Narrows v to 16 bits; a value outside -32768..32767 raises error 6.
inline int16_t CheckedInt16(long long v) {
  if (v < INT16_MIN || v > INT16_MAX) throw RunError(err::kOverflow);
  return static_cast<int16_t>(v);
}

inline int16_t Add16(int16_t a, int16_t b) {
  return CheckedInt16(static_cast<long long>(a) + b);
}
inline int16_t Sub16(int16_t a, int16_t b) {
  return CheckedInt16(static_cast<long long>(a) - b);
}

// The length of text as a 16-bit count of characters; a longer text raises error 6.
inline int16_t Length16(std::string_view text) {
  return CheckedInt16(static_cast<long long>(text.size()));
}

// Checked table access: an index outside the table's slots raises error 9.
template <class Table>
auto At(Table& table, long long index) -> decltype(table[0]) {
  if (index < 0 || static_cast<unsigned long long>(index) >= std::size(table))
    throw RunError(err::kSubscript);
  return table[static_cast<size_t>(index)];
}

}  // namespace hx

#endif  // HX_BASE_RUN_ERROR_H_
