// Our stand-in for the vendor's communication library LumoCom: the exported
// functions of the real library, answering from the simulated plant in the
// file that LUMOCOM_SIM names (else LUMOCOM.SIM beside the executable).
// With LUMOCOM_JOURNAL set, every call appends one line to that file:
//   open NAME
//   send HANDLE LENGTH COMMAND     (the command exactly as received)
//   puc HANDLE
//   sendsz HANDLE COMMAND          (any other command through T31MdsSendReceSz)
// Control bytes in a name or command are written as \xNN so that a line
// stays one line.  The journal is reopened for every line, so a crash of the
// caller never loses what already reached the "controllers".

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "comm/vendor_abi.h"
#include "plant.h"
#include "standin_system.h"

namespace {

struct Library {
  std::mutex mutex;
  lumo::Plant plant;
  std::string plant_path;
  bool loaded = false;
};

Library& TheLibrary() {
  static Library library;
  return library;
}

std::string SimulationPath() {
  const char* named = std::getenv("LUMOCOM_SIM");
  if (named != nullptr && *named != '\0') return named;
  return standin::ExecutableFolder() + standin::kSeparator + "LUMOCOM.SIM";
}

std::string ReadFile(const std::string& path) {
  constexpr size_t kLargest = 16 << 20;  // no plant is that large; a stray file is ignored
  std::ifstream in(path, std::ios::binary);
  std::string text;
  char chunk[65536];
  while (in && text.size() <= kLargest) {
    in.read(chunk, sizeof chunk);
    text.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (text.size() > kLargest) return {};
  return text;
}

// The plant is read at the first open, and again when an open finds that the
// environment now names another file, so that tests can switch plants.
void LoadPlant(Library& library) {
  const std::string path = SimulationPath();
  if (library.loaded && path == library.plant_path) return;
  library.plant = lumo::Plant(ReadFile(path));
  library.plant_path = path;
  library.loaded = true;
}

std::string Printable(const char* bytes, size_t n) {
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 32 || c == 127) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void Journal(const std::string& line) {
  const char* path = std::getenv("LUMOCOM_JOURNAL");
  if (path == nullptr || *path == '\0') return;
  if (std::FILE* f = std::fopen(path, "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

// An exchange takes the simulated time to the microsecond, so that a
// benchmark can set the program's own time against the sum of its exchanges:
// a plain sleep overshoots by a good fraction of a millisecond.
void Wait(int ms) {
  if (ms <= 0) return;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::this_thread::sleep_until(deadline - std::chrono::microseconds(300));
  while (Clock::now() < deadline) {
  }
}

// The command as received: no further than its stated length and never past
// its terminator, whatever length the caller claims.
size_t CommandLength(const char* command, int32_t stated) {
  if (command == nullptr || stated <= 0) return 0;
  return strnlen(command, static_cast<size_t>(stated));
}

// Puts as much of reply into the caller's buffer as fits and says how much that was.
size_t PutReply(const std::string& reply, char* buffer, int32_t size, bool terminated) {
  if (buffer == nullptr || size <= 0) return 0;
  const size_t room = static_cast<size_t>(size) - (terminated ? 1 : 0);
  const size_t n = std::min(reply.size(), room);
  std::memcpy(buffer, reply.data(), n);
  if (n < static_cast<size_t>(size)) buffer[n] = '\0';
  return n;
}

// What an ordinary library may do besides answering, where the simulation
// file asks for it: talk on its process's standard output and error.
void Chatter(const lumo::Habits& habits) {
  if (!habits.to_stdout.empty()) {
    std::fputs((habits.to_stdout + "\n").c_str(), stdout);
    std::fflush(stdout);
  }
  if (!habits.to_stderr.empty()) {
    std::fputs((habits.to_stderr + "\n").c_str(), stderr);
    std::fflush(stderr);
  }
}

// The open's habits: chatter, a look at standard input, a helper.
void AtOpen(const lumo::Habits& habits) {
  Chatter(habits);
  if (habits.reads_stdin) (void)std::fgetc(stdin);
  if (habits.helper_seconds > 0) standin::StartHelper(habits.helper_seconds);
}

// One exchange with the controller behind handle: the plant is asked under
// the library's lock, and the controller's latency then passes outside it.
template <class Ask>
auto Exchange(int32_t handle, Ask ask) {
  Library& library = TheLibrary();
  int latency = 0;
  lumo::Habits habits;
  decltype(ask(library.plant)) result{};
  {
    std::lock_guard lock(library.mutex);
    result = ask(library.plant);
    latency = library.plant.LatencyMs(handle);
    habits = library.plant.HabitsOf(handle);
  }
  Chatter(habits);
  Wait(latency);
  return result;
}

// The library's own failures, where the simulation file asks for them: what
// a closed library at a site may do on an unusual reply.
void Misbehave(lumo::Fault fault, char* reply) {
  switch (fault) {
    case lumo::Fault::kCrash:
      *static_cast<volatile int*>(nullptr) = 0;
      std::abort();  // should the write not end the process
    case lumo::Fault::kHang:
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    case lumo::Fault::kOverrun:
      if (reply != nullptr) std::memset(reply, 'X', 4096);
      break;
    case lumo::Fault::kNone:
      break;
  }
}

bool IsPowerUpClear(const char* command) {
  if (command == nullptr) return false;
  const char* p = command;
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
  if (*p != 'A') return false;
  ++p;
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
  return *p == '\0';
}

}  // namespace

extern "C" {

HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL T31MdsOpenController(int32_t* handle, char* name) {
  const std::string wanted = name != nullptr ? name : "";
  Journal("open " + Printable(wanted.data(), wanted.size()));
  Library& library = TheLibrary();
  lumo::Plant::Opening opening;
  {
    std::lock_guard lock(library.mutex);
    LoadPlant(library);
    opening = library.plant.Open(wanted);
  }
  AtOpen(opening.habits);
  Wait(opening.latency_ms);
  if (handle != nullptr) *handle = opening.handle;
  return opening.status;
}

HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL T31MdsSendRece(int32_t handle, char* command,
                                                       int32_t command_length, char* reply,
                                                       int32_t reply_size, int32_t* reply_length) {
  const std::string sent(command != nullptr ? command : "", CommandLength(command, command_length));
  Journal("send " + std::to_string(handle) + " " + std::to_string(command_length) + " " +
          Printable(sent.data(), sent.size()));
  const lumo::Answer answer =
      Exchange(handle, [&](lumo::Plant& plant) { return plant.Query(handle, sent); });
  Misbehave(answer.fault, reply);
  const size_t put = PutReply(answer.reply, reply, reply_size, false);
  if (reply_length != nullptr)
    *reply_length = answer.reported_length.value_or(static_cast<int32_t>(put));
  return answer.status;
}

HX_VENDOR_EXPORT int16_t HX_VENDOR_CALL T31MdsSendReceSz(int32_t handle, char* command, char* reply,
                                                         int32_t reply_size) {
  if (IsPowerUpClear(command)) {
    Journal("puc " + std::to_string(handle));
    const int16_t status =
        Exchange(handle, [&](lumo::Plant& plant) { return plant.PowerUpClear(handle); });
    PutReply("", reply, reply_size, true);
    return status;
  }
  const std::string sent = command != nullptr ? command : "";
  Journal("sendsz " + std::to_string(handle) + " " + Printable(sent.data(), sent.size()));
  const lumo::Answer answer =
      Exchange(handle, [&](lumo::Plant& plant) { return plant.Query(handle, sent); });
  Misbehave(answer.fault, reply);
  PutReply(answer.reply, reply, reply_size, true);
  return answer.status;
}

}  // extern "C"
