#include "check/finding_text.h"

#include <cstdint>
#include <iomanip>
#include <sstream>

#include "base/text.h"
#include "run/report_error.h"

namespace hx {

std::string Trimmed(std::string text) {
  StripLead(text);
  return StripTrail(text);
}

std::string Bracketed(Section s) {
  return "[" + std::string(SectionName(s)) + "]";
}

std::string AtLine(int line) {
  return "line " + std::to_string(line);
}

std::string Lines(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string Assignment(SetupKey key, std::string_view value) {
  return std::string(SetupKeyName(key)) + "=" + std::string(value);
}

std::string FontSizeText(double points) {
  std::ostringstream text;
  text << points;
  return text.str();
}

std::string ErrorIn(int32_t error, std::string_view label) {
  return "error " + std::to_string(error) + ", " + std::string(ErrorDescription(error)) +
         ", in \"" + std::string(label) + "\"";
}

std::string CodePoint(char32_t c) {
  std::ostringstream code;
  code << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
       << static_cast<uint32_t>(c);
  return code.str();
}

std::string StopsReading(int32_t error) {
  return "HX_RPT stops reading here (" + ErrorIn(error, label::kFormLoad) +
         ") and produces no report";
}

}  // namespace hx
