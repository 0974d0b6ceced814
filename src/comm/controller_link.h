// The controller link: the program's only road to the controllers, over the
// vendor's communication library.  Opens controllers by name with a power-up
// clear, sends query commands, recovers once from a "power-up clear wanted"
// answer, and shows communication failures when the window is on screen.

#ifndef HX_COMM_CONTROLLER_LINK_H_
#define HX_COMM_CONTROLLER_LINK_H_

#include <cstdint>
#include <string>

#include "run/report_state.h"

namespace hx {

// Controller statuses with a fixed meaning.
inline constexpr int16_t kStatusOk = 0;
inline constexpr int16_t kStatusQueryFailed = -1;
inline constexpr int16_t kStatusWantsPowerUpClear = -4;
inline constexpr int16_t kStatusNotResponding = -29;
inline constexpr int16_t kStatusPortInUse = -100;
// SendRecv's result when the query could not be exchanged at all (the library
// failed and the failure has been reported); no controller answers with it.
inline constexpr int16_t kStatusNoExchange = INT16_MIN;

// Prepares BufferSize and ReplyBuffer.  Traps nothing.
void InitBuffers(ReportState& rs);
// Opens the controller named CtrlName; its handle, 0 when it cannot be opened.
int32_t GetHandle(ReportState& rs);
// Instead of GetHandle for a controller whose name, as the definition file's
// line names it, lost a character the program's code page lacks: sent with
// a "?" in its place it could open another controller.  Handle 0, reported
// like a controller that is not found, and named in the run's notes.
int32_t NameNotSendable(ReportState& rs, int line);
// Sends command to the controller and overwrites reply with its answer.  A
// failure inside is reported under label::kSendRecv; the result is then the status
// the controller gave, or kStatusNoExchange when the query got no answer.
int16_t SendRecv(ReportState& rs, int32_t handle, const std::string& command, std::string& reply);
// Sends the power-up clear "A".
int16_t SendPUC(ReportState& rs, int32_t handle);
// Shows a communication failure with the library's error text, only with SHOWIT.  Traps nothing.
void CommError(ReportState& rs, int16_t code, const std::string& message);

}  // namespace hx

#endif  // HX_COMM_CONTROLLER_LINK_H_
