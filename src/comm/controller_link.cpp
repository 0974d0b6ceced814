#include "comm/controller_link.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

#include "base/paths.h"
#include "base/run_error.h"
#include "platform/platform.h"
#include "platform/vendor.h"
#include "run/report_error.h"

namespace hx {

namespace {

// A length the library reports, made safe to cut a buffer of size characters
// with: a library that claims less than nothing gave nothing, one that claims
// more than the buffer gave the whole buffer.
size_t ReportedLength(int32_t length, size_t size) {
  if (length <= 0) return 0;
  return std::min(static_cast<size_t>(length), size);
}

// BufferSize as a count of characters; a run that never prepared its buffers
// hands the library an empty one rather than a wrong size.
size_t ReplySize(const ReportState& rs) {
  return rs.BufferSize > 0 ? static_cast<size_t>(rs.BufferSize) : 0;
}

// A message about the controller being addressed: "Controller 'NAME'" and tail.
std::string AboutController(const ReportState& rs, std::string_view tail) {
  return "Controller '" + rs.CtrlName + "'" + std::string(tail);
}

// An exchange may take seconds; a window on screen is repainted, and the
// message dialog answers clicks, after each one.  Nothing of the report runs
// from those events.
void AfterExchange(ReportState& rs) {
  if (rs.SHOWIT) rs.platform.screen.ProcessEvents();
}

// Shows a communication failure, only with SHOWIT: message and, on the next
// line, what is known of its cause.
void ShowCommMessage(ReportState& rs, const std::string& message, std::string_view cause) {
  std::string shown = message.substr(0, 60);
  shown += '\r';
  shown += cause;
  rs.platform.dialog.ShowMessage(shown, 0, "Communication Error Message");
}

int32_t Length32(const std::string& text) {
  if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw RunError(err::kOverflow);
  return static_cast<int32_t>(text.size());
}

}  // namespace

void InitBuffers(ReportState& rs) {
  rs.BufferSize = 255;
  rs.ReplyBuffer.assign(static_cast<size_t>(rs.BufferSize), '\0');
}

int32_t GetHandle(ReportState& rs) {
  int32_t handle = 0;
  Trap(rs, label::kGetHandle, [&] {
    std::vector<char> name = WritableCopy(rs.CtrlName);
    const int16_t status = rs.platform.vendor.T31MdsOpenController(&handle, name.data());
    AfterExchange(rs);
    if (handle != 0) {
      // The power-up clear's own failure is already shown by SendPUC; the
      // handle is used all the same, the next query may still get through.
      SendPUC(rs, handle);
    } else {
      rs.AnyFailure = true;
      CommError(rs, status, AboutController(rs, " Not Found."));
    }
  });
  return handle;
}

int32_t NameNotSendable(ReportState& rs, int line) {
  rs.AnyFailure = true;
  const std::string page(rs.platform.code_page.name());
  rs.platform.notes.Note(std::string(kDefinitionFileName) + " line " + std::to_string(line) +
                         ": controller '" + rs.CtrlName + "': the name holds a character that " +
                         page + " lacks; it is not opened");
  if (rs.SHOWIT) {
    ShowCommMessage(rs, AboutController(rs, " Not Found."),
                    "The name holds a character that " + page + " lacks.");
  }
  return 0;
}

int16_t SendRecv(ReportState& rs, int32_t handle, const std::string& command, std::string& reply) {
  // Until the library has answered there is no status: a query that could
  // not be exchanged must not pass for one that succeeded with an empty reply.
  int16_t status = kStatusNoExchange;
  Trap(rs, label::kSendRecv, [&] {
    std::vector<char> text = WritableCopy(command);
    const int32_t length = Length32(command);
    const size_t size = ReplySize(rs);
    // A fresh buffer per query; the repeat after a power-up clear reuses it,
    // so a repeat that reports a length without writing shows the first answer.
    std::vector<char> buffer(size + 1, '\0');
    int32_t reply_length = 0;
    auto exchange = [&] {
      status = kStatusNoExchange;
      reply_length = 0;
      status = rs.platform.vendor.T31MdsSendRece(handle, text.data(), length, buffer.data(),
                                                 static_cast<int32_t>(size), &reply_length);
      AfterExchange(rs);
      reply.assign(buffer.data(), ReportedLength(reply_length, size));
    };
    // A reply of less than nothing is no reply: the value is unknown, not
    // empty, and an empty text would show as a string tag's FALSE text.
    auto known = [&] {
      if (status != kStatusOk || reply_length >= 0) return true;
      rs.AnyFailure = true;
      rs.platform.notes.Note("controller '" + rs.CtrlName +
                             "': the library gave a reply length of " +
                             std::to_string(reply_length) + " for " + command);
      status = kStatusNoExchange;
      reply.clear();
      return false;
    };

    exchange();
    if (!known()) return;
    if (status == kStatusOk) return;
    // Any status but success makes the run doubtful for whoever scheduled
    // it, even a power-up clear request that the repeat then answers.
    rs.AnyFailure = true;
    if (status == kStatusNotResponding) {
      CommError(rs, kStatusNotResponding, AboutController(rs, " is not responding."));
    } else if (status == kStatusWantsPowerUpClear) {
      // A controller that was restarted asks for a power-up clear before it
      // answers again; one clear and one repeat, and whatever the repeat
      // answers is the answer.
      status = SendPUC(rs, handle);
      if (status != kStatusOk) return;
      exchange();
      known();
    } else {
      CommError(rs, status, "Error while sending " + command + " to '" + rs.CtrlName + "'");
    }
  });
  return status;
}

int16_t SendPUC(ReportState& rs, int32_t handle) {
  int16_t status = kStatusOk;
  Trap(rs, label::kSendPUC, [&] {
    std::vector<char> command = WritableCopy("A");
    // The answer to a power-up clear is never read, but the library gets the
    // module's buffer as always; the copy keeps a terminator's room beyond
    // the size it is told.
    std::vector<char> buffer = WritableCopy(rs.ReplyBuffer);
    const size_t size = std::min(ReplySize(rs), rs.ReplyBuffer.size());
    status = rs.platform.vendor.T31MdsSendReceSz(handle, command.data(), buffer.data(),
                                                 static_cast<int32_t>(size));
    AfterExchange(rs);
    rs.ReplyBuffer.assign(buffer.data(), rs.ReplyBuffer.size());
    if (status != kStatusOk) rs.AnyFailure = true;
    if (status == kStatusNotResponding) {
      CommError(rs, kStatusNotResponding,
                AboutController(rs, " is not responding to PowerUpClear."));
    }
    if (status == kStatusPortInUse) CommError(rs, kStatusPortInUse, "Comm Port is in use!.");
  });
  return status;
}

void CommError(ReportState& rs, int16_t code, const std::string& message) {
  if (!rs.SHOWIT) return;
  constexpr int32_t kTextSize = 1024;
  std::vector<char> text(kTextSize + 1, ' ');
  text.back() = '\0';
  int32_t text_length = 0;
  rs.platform.vendor.T31ErrorAsString(code, text.data(), kTextSize, &text_length);
  ShowCommMessage(rs, message,
                  std::string_view(text.data(), ReportedLength(text_length, kTextSize)));
}

}  // namespace hx
