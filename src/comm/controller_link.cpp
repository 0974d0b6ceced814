#include "comm/controller_link.h"

// Placeholder until the controller link lands.
namespace hx {
void InitBuffers(ReportState& rs) {
  rs.BufferSize = 255;
  rs.ReplyBuffer.assign(255, '\0');
}
int32_t GetHandle(ReportState&) {
  return 0;
}
int16_t SendRecv(ReportState&, int32_t, const std::string&, std::string& reply) {
  reply.clear();
  return -1;
}
int16_t SendPUC(ReportState&, int32_t) {
  return 0;
}
void CommError(ReportState&, int16_t, const std::string&) {}
}  // namespace hx
