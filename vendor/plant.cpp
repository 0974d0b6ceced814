#include "plant.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace lumo {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

// A whole-text decimal integer in [low, high], blanks around it allowed.
std::optional<long long> Integer(std::string_view text, long long low, long long high) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<int16_t> Status(std::string_view text) {
  auto v = Integer(text, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
  if (!v) return std::nullopt;
  return static_cast<int16_t>(*v);
}

bool Follows(const std::vector<std::string_view>& words, size_t from,
             std::initializer_list<std::string_view> tail) {
  return words.size() >= from && words.size() - from == tail.size() &&
         std::equal(tail.begin(), tail.end(), words.begin() + static_cast<std::ptrdiff_t>(from));
}

}  // namespace

std::optional<std::string> SymbolOf(std::string_view command) {
  const std::vector<std::string_view> w = Words(command);
  if (w.empty()) return std::nullopt;
  const std::string_view first = w[0];
  if (first.size() > 1) {
    switch (first[0]) {
      case '^':  // variable, integer or float, or a timer
        if (Follows(w, 1, {"@@", "EMITL86"}) || Follows(w, 1, {"T@@F", "EMITL86"}))
          return std::string(first);
        return std::nullopt;
      case '*':  // string variable
        if (Follows(w, 1, {"PRINT$"})) return std::string(first);
        return std::nullopt;
      case '~':  // digital or analog I/O point
        if (Follows(w, 1, {"UNLOCK", "DIG@I", "RELOCK", "EMITL86"}) ||
            Follows(w, 1, {"UNLOCK", "ANL@F", "RELOCK", "EMITL86"}))
          return std::string(first);
        return std::nullopt;
    }
  }
  // Table elements carry their index in front: " 12 }LEVELS TABLE@ EMITL86".
  if (w.size() < 2 || w[1].size() < 2 || first[0] < '0' || first[0] > '9') return std::nullopt;
  const bool numbers = w[1][0] == '}' && Follows(w, 2, {"TABLE@", "EMITL86"});
  const bool texts = w[1][0] == '{' && Follows(w, 2, {"$TABLE@", "PRINT$"});
  if (!numbers && !texts) return std::nullopt;
  return std::string(w[1]) + "(" + std::string(first) + ")";
}

Plant::Plant(std::string_view text) {
  size_t current = kNone;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ReadLine(line, current);
  }
}

void Plant::ReadLine(std::string_view line, size_t& current) {
  std::string_view item = line;
  while (!item.empty() && IsBlank(item.front())) item.remove_prefix(1);
  if (item.empty() || item.front() == ';') return;

  if (item.front() == '[') {
    const std::string_view head = Trim(item);
    current = kNone;  // a broken section header must not lend its lines to the one before
    if (head.size() < 2 || head.back() != ']') return;
    const std::string_view name = head.substr(1, head.size() - 2);
    auto known = std::find_if(controllers_.begin(), controllers_.end(),
                              [&](const Controller& c) { return c.name == name; });
    current = static_cast<size_t>(known - controllers_.begin());
    if (known == controllers_.end()) {
      controllers_.emplace_back();
      controllers_.back().name = std::string(name);
    }
    return;
  }

  const size_t equals = item.find('=');
  if (current == kNone || equals == std::string_view::npos) return;
  Controller& c = controllers_[current];
  const std::string_view key = Trim(item.substr(0, equals));
  const std::string_view value = item.substr(equals + 1);
  if (key.empty()) return;

  if (key.front() == '@') {
    if (key == "@open") {
      if (auto s = Status(value)) c.open = s;
    } else if (key == "@puc") {
      if (auto s = Status(value)) c.puc = s;
    } else if (key == "@query") {
      if (auto s = Status(value)) c.query = s;
    } else if (key == "@replylen") {
      if (auto n = Integer(value, std::numeric_limits<int32_t>::min(),
                           std::numeric_limits<int32_t>::max()))
        c.reply_length = static_cast<int32_t>(*n);
    } else if (key == "@latency_ms") {
      if (auto n = Integer(value, 0, 600000)) c.latency_ms = static_cast<int>(*n);
    } else if (key == "@stdout") {
      c.habits.to_stdout = std::string(value);
    } else if (key == "@stderr") {
      c.habits.to_stderr = std::string(value);
    } else if (key == "@stdin") {
      c.habits.reads_stdin = Integer(value, 0, 1).value_or(0) == 1;
    } else if (key == "@helper") {
      if (auto n = Integer(value, 0, 86400)) c.habits.helper_seconds = static_cast<int>(*n);
    } else if (key == "@crash" || key == "@hang" || key == "@overrun") {
      const Fault fault = key == "@crash"  ? Fault::kCrash
                          : key == "@hang" ? Fault::kHang
                                           : Fault::kOverrun;
      if (auto n = Integer(value, 1, 1000000)) c.faults[static_cast<int>(*n)] = fault;
    }
    return;
  }

  Symbol symbol;
  symbol.value = std::string(value);
  if (!value.empty() && value.front() == '!') {
    const std::string_view rest = value.substr(1);
    constexpr std::string_view kRecovery = "-4,";
    if (rest.substr(0, kRecovery.size()) == kRecovery) {
      symbol.wants_clear = true;
      symbol.value = std::string(rest.substr(kRecovery.size()));
    } else if (auto s = Status(rest)) {
      symbol.status = s;
      symbol.value.clear();
    }
    // Anything else after "!" is an ordinary reply that happens to start with it.
  }
  c.symbols[std::string(key)] = std::move(symbol);
}

Plant::Controller* Plant::Find(int32_t handle) {
  if (handle < 1 || static_cast<size_t>(handle) > controllers_.size()) return nullptr;
  return &controllers_[static_cast<size_t>(handle) - 1];
}

Plant::Opening Plant::Open(std::string_view name) const {
  for (size_t i = 0; i < controllers_.size(); ++i) {
    const Controller& c = controllers_[i];
    if (c.name != name) continue;
    if (c.open) return {*c.open, 0, c.latency_ms, c.habits};
    // Handles are the controller's place in the file, so a journal reads the same every run.
    return {kOk, static_cast<int32_t>(i + 1), c.latency_ms, c.habits};
  }
  return {};
}

Answer Plant::Query(int32_t handle, std::string_view command) {
  Controller* c = Find(handle);
  if (c == nullptr) return {kBadHandle, Fault::kNone, {}, {}};
  Answer answer;
  answer.reported_length = c->reply_length;
  if (auto fault = c->faults.find(++c->queries); fault != c->faults.end())
    answer.fault = fault->second;
  if (c->query) {
    answer.status = *c->query;
    return answer;
  }
  const std::optional<std::string> symbol = SymbolOf(command);
  auto found = symbol ? c->symbols.find(*symbol) : c->symbols.end();
  if (found == c->symbols.end()) {
    answer.status = kUnknownCommand;
    return answer;
  }
  Symbol& s = found->second;
  if (s.status) {
    answer.status = *s.status;
  } else if (s.wants_clear && s.recovery != Recovery::kCleared) {
    s.recovery = Recovery::kAsked;
    answer.status = kWantsPowerUpClear;
  } else {
    answer.reply = s.value;
  }
  return answer;
}

int16_t Plant::PowerUpClear(int32_t handle) {
  Controller* c = Find(handle);
  if (c == nullptr) return kBadHandle;
  const int16_t status = c->puc.value_or(kOk);
  // Only a clear that succeeded satisfies a symbol that asked for one.
  if (status == kOk) {
    for (auto& [name, symbol] : c->symbols) {
      if (symbol.recovery == Recovery::kAsked) symbol.recovery = Recovery::kCleared;
    }
  }
  return status;
}

int Plant::LatencyMs(int32_t handle) {
  const Controller* c = Find(handle);
  return c != nullptr ? c->latency_ms : 0;
}

Habits Plant::HabitsOf(int32_t handle) {
  const Controller* c = Find(handle);
  return c != nullptr ? c->habits : Habits{};
}

}  // namespace lumo
