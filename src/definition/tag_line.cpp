#include "definition/tag_line.h"

// Placeholder until tag lines are read.
namespace hx {
void ReadTagLine(ReportState&, const std::string&) {}
}  // namespace hx
