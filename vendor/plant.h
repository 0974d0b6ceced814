// The simulated plant behind our stand-in for the vendor's communication
// library: controllers described in a simulation file, each answering the
// query commands that HX_RPT composes and the power-up clear "A".
//
// The file, one item a line:
//   [NAME]            starts the controller opened by exactly that name
//   SYMBOL=VALUE      a query of SYMBOL answers VALUE, as written after "="
//   SYMBOL=!N         a query of SYMBOL answers status N and an empty reply
//   SYMBOL=!-4,VALUE  answers -4 until a power-up clear reaches the
//                     controller after that, then VALUE
//   @open=N  @puc=N  @query=N  @replylen=N  @latency_ms=N   controller settings
//   @crash=N  @hang=N  @overrun=N   the library fails at the controller's
//                     Nth query: it crashes, never returns, or writes 4096
//                     bytes into the reply buffer
//   @stdout=TEXT  @stderr=TEXT   the library writes TEXT as a line to its
//                     process's standard output or error at every call for
//                     the controller (open, query, power-up clear)
//   @stdin=1          the open reads the process's standard input once
//   @helper=S         the open starts a helper process that lives S seconds
//                     and writes a line to the standard output and error it
//                     inherits every second
// (the last four are what an ordinary library may do in the window program
// it was made for, where it harms nothing)
// Blank lines and lines starting with ";" are ignored, and so is anything
// the plant cannot make sense of: no file content makes it fail.
//
// Not thread-safe; the library entry points serialise calls.

#ifndef HX_VENDOR_PLANT_H_
#define HX_VENDOR_PLANT_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// Statuses the stand-in produces beyond those the controllers' callers know.
inline constexpr int16_t kOk = 0;
inline constexpr int16_t kUnknownCommand = -1;  // unknown symbol or unparsable command
inline constexpr int16_t kNoSuchController = -2;
inline constexpr int16_t kBadHandle = -3;
inline constexpr int16_t kWantsPowerUpClear = -4;

// How the library misbehaves at a query, as the simulation file asks.
enum class Fault { kNone, kCrash, kHang, kOverrun };

// What the library does besides answering, for one controller.
struct Habits {
  std::string to_stdout, to_stderr;  // a line written at every call, when not empty
  bool reads_stdin = false;          // at the open
  int helper_seconds = 0;            // at the open, when above 0
};

struct Answer {
  int16_t status = kOk;
  Fault fault = Fault::kNone;
  std::string reply;
  // The length to report when it is not the reply's own (@replylen).
  std::optional<int32_t> reported_length;
};

// The symbol a command asks for: "^COUNT" for " ^COUNT @@ EMITL86", "}LEVELS(12)"
// for " 12 }LEVELS TABLE@ EMITL86"; nothing when the command is not one the
// report program composes.
std::optional<std::string> SymbolOf(std::string_view command);

class Plant {
 public:
  Plant() = default;
  explicit Plant(std::string_view simulation_text);

  struct Opening {
    int16_t status = kNoSuchController;
    int32_t handle = 0;  // 0 when the controller cannot be opened
    int latency_ms = 0;
    Habits habits;
  };
  Opening Open(std::string_view name) const;
  Answer Query(int32_t handle, std::string_view command);
  int16_t PowerUpClear(int32_t handle);
  // How long an exchange with the controller behind handle takes.
  int LatencyMs(int32_t handle);
  // What the library does besides answering for the controller behind handle.
  Habits HabitsOf(int32_t handle);

 private:
  enum class Recovery { kFresh, kAsked, kCleared };
  struct Symbol {
    std::optional<int16_t> status;  // !N
    std::string value;
    bool wants_clear = false;  // !-4,VALUE
    Recovery recovery = Recovery::kFresh;
  };
  struct Controller {
    std::string name;
    std::map<std::string, Symbol, std::less<>> symbols;
    std::optional<int16_t> open, puc, query;
    std::optional<int32_t> reply_length;
    int latency_ms = 0;
    Habits habits;
    int queries = 0;              // so far
    std::map<int, Fault> faults;  // by the number of the query
  };

  static constexpr size_t kNone = static_cast<size_t>(-1);
  // current: index of the controller the line belongs to, kNone before the first.
  void ReadLine(std::string_view line, size_t& current);
  Controller* Find(int32_t handle);

  std::vector<Controller> controllers_;
};

}  // namespace lumo

#endif  // HX_VENDOR_PLANT_H_
