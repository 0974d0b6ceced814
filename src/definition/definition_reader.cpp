#include "definition/definition_reader.h"

// Placeholder until the reader lands.
namespace hx {
void ReadDefinition(ReportState&, std::istream&) {}
}  // namespace hx
