#include "definition/text_fields.h"

// Placeholder until the text field helpers land.
namespace hx {
std::string GetNextParam(ReportState&, const std::string&) {
  return {};
}
std::string StripLead(ReportState&, std::string& text) {
  return text;
}
std::string StripTrail(ReportState&, std::string& text) {
  return text;
}
bool IsNum(ReportState&, const std::string& text) {
  return !text.empty() && text[0] >= '0' && text[0] <= '9';
}
double NumericValue(std::string_view) {
  return 0;
}
int16_t NumericValue16(std::string_view) {
  return 0;
}
}  // namespace hx
