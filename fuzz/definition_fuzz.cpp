// The definition file reader as a whole: any bytes as HX_RPT.INI, then the
// report state the reading leaves behind, whether it ran to the end of the
// file or stopped on a failure.

#include <sstream>
#include <string>

#include "base/code_page.h"
#include "base/run_error.h"
#include "definition/definition_reader.h"
#include "fuzz/fuzz_run.h"

namespace hx::fuzz {
namespace {

void CheckNoBlankEnds(const std::string& value, const char* property) {
  Check(value.empty() || (!IsBlankByte(value.front()) && !IsBlankByte(value.back())), property,
        value);
}

void CheckState(const FuzzRun& run, std::string_view file, bool completed) {
  const ReportState& rs = run.rs;
  Check(rs.HeaderCount >= 0 && rs.HeaderCount <= 10, "HeaderCount stays within 0..10",
        std::to_string(rs.HeaderCount));
  Check(rs.ReportCount >= 0 && rs.ReportCount <= 400, "ReportCount stays within 0..400",
        std::to_string(rs.ReportCount));
  // A tag index beyond 400 stops the reading after LastTag took it; no
  // report pass follows then, so only a completed reading must keep it in range.
  Check(rs.LastTag >= 0 && (!completed || rs.LastTag <= 400), "LastTag stays within 0..400",
        std::to_string(rs.LastTag));

  // Slot 0 of the blocks and slots 0 and 6 of the controller table are never filled.
  Check(rs.HeaderLines[0].empty() && rs.ReportLines[0].empty(), "block slot 0 stays empty");
  Check(rs.ControllerName[0].empty() && rs.ControllerName[6].empty() &&
            rs.ControllerHandle[0] == 0 && rs.ControllerHandle[6] == 0,
        "controller slots 0 and 6 stay empty");

  // Stored lines are lines of the file, as written (in the program's code
  // page, for a file in UTF-8): never a line end in them, never a byte that
  // the file did not hold at that place.  (A file in UTF-16 is not bytes
  // one can look for in its lines.)
  const bool utf16 = rs.DefinitionEncoding == TextEncoding::kUtf16Le ||
                     rs.DefinitionEncoding == TextEncoding::kUtf16Be;
  const std::string text = rs.DefinitionInUnicode()
                               ? ProgramTextFromUtf8(file, rs.platform.code_page)
                               : std::string(file);
  auto check_block = [&](const auto& lines, int16_t count, const char* property) {
    for (int i = 1; i <= count && !utf16; ++i) {
      const std::string& line = lines[static_cast<size_t>(i)];
      Check(line.find('\r') == std::string::npos && text.find(line) != std::string::npos, property,
            line);
    }
  };
  check_block(rs.HeaderLines, rs.HeaderCount, "a header line is a line of the file");
  check_block(rs.ReportLines, rs.ReportCount, "a report line is a line of the file");

  for (int c = 1; c <= 5; ++c)
    Check(rs.ControllerName[static_cast<size_t>(c)].find_first_of(" \r") == std::string::npos,
          "a controller name holds no space", rs.ControllerName[static_cast<size_t>(c)]);

  Check(rs.DATEFORMAT.empty() || rs.DATEFORMAT.size() >= 8, "DATEFORMAT is empty or 8+ long",
        rs.DATEFORMAT);
  Check(rs.TIMEFORMAT.empty() || rs.TIMEFORMAT.size() >= 5, "TIMEFORMAT is empty or 5+ long",
        rs.TIMEFORMAT);
  for (const std::string* value :
       {&rs.DATEFORMAT, &rs.TIMEFORMAT, &rs.LOGFILEPATH, &rs.LOGFILENAME, &rs.PRINTERNAME})
    CheckNoBlankEnds(*value, "a setting value has no blanks at either end");

  for (size_t i = 0; i < rs.TagTable.size(); ++i) CheckTagSlot(rs.TagTable[i], i);
}

}  // namespace
}  // namespace hx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace hx;
  fuzz::FuzzRun run;
  // Controllers whose name starts with a letter can be opened; the others
  // cannot be found, which exercises the communication message as well.
  run.vendor.open = [](const std::string& name) {
    const bool known = !name.empty() && ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z');
    return std::pair<int16_t, int32_t>{known ? 0 : -1,
                                       known ? static_cast<int32_t>(1 + name.size()) : 0};
  };

  const std::string_view file = fuzz::AsText(data, size);
  std::istringstream in{std::string(file)};
  bool completed = true;
  try {
    ReadDefinition(run.rs, in);
  } catch (const RunError& e) {
    // Only the 16-bit ranges can stop the reading of a file on a working
    // printer, and a NUL character keeps a file from being read at all.
    completed = false;
    const bool nul = file.find('\0') != std::string_view::npos;
    fuzz::Check(e.number() == err::kOverflow || e.number() == err::kSubscript ||
                    (e.number() == err::kBadFileMode && nul),
                "the reading stops only on error 6 or 9, or 54 for a NUL",
                std::to_string(e.number()));
  }
  fuzz::CheckState(run, file, completed);
  return 0;
}
