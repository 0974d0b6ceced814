#include "qt/print_server_link.h"

#include <sys/socket.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "base/run_error.h"

namespace hx {

namespace {

constexpr int kBoundMs = static_cast<int>(
    std::chrono::duration_cast<std::chrono::milliseconds>(kPrintServerBound).count());

// Nobody may be at a terminal to answer a password prompt, and the run must
// not wait for one: a server that wants a password refuses the request.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
  return nullptr;
}

}  // namespace

// Ends a request that outlives the bound.  libcups starts waiting afresh
// after every byte it gets, so its own timeout alone would let a server that
// answers a byte at a time hold the run for ever; shutting the socket down
// under the request ends whatever libcups is waiting for at that moment.
// One thread for the whole run that looks once a second: arming it for a
// request wakes nobody, so that a run whose print server answers at once
// does not wait for the scheduler.
class PrintServerLink::Watchdog {
 public:
  Watchdog() : thread_([this](std::stop_token stop) { Watch(stop); }) {}
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void Arm(int fd) {
    std::lock_guard lock(mutex_);
    fd_ = fd;
    deadline_ = std::chrono::steady_clock::now() + kPrintServerBound;
    expired_ = false;
  }

  // Whether the request ran out of time.
  bool Disarm() {
    std::lock_guard lock(mutex_);
    fd_ = -1;
    return expired_;
  }

 private:
  void Watch(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, stop, std::chrono::seconds(1), [] { return false; }) &&
           !stop.stop_requested()) {
      if (fd_ >= 0 && std::chrono::steady_clock::now() >= deadline_) {
        shutdown(fd_, SHUT_RDWR);
        expired_ = true;
        fd_ = -1;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable_any wake_;  // only the end of the run wakes it early
  int fd_ = -1;                       // the socket of the request under way, -1 between requests
  std::chrono::steady_clock::time_point deadline_;
  bool expired_ = false;
  std::jthread thread_;  // last, so that it is joined before the rest goes
};

// The watchdog armed for one request on http.
class PrintServerLink::Bounded {
 public:
  Bounded(Watchdog& watchdog, http_t* http) : watchdog_(watchdog) { watchdog.Arm(httpGetFd(http)); }
  ~Bounded() { watchdog_.Disarm(); }
  Bounded(const Bounded&) = delete;
  Bounded& operator=(const Bounded&) = delete;

  // Ends the watch over the request; whether it ran out of time.
  bool Finish() { return watchdog_.Disarm(); }

 private:
  Watchdog& watchdog_;
};

PrintServerLink::PrintServerLink() = default;

PrintServerLink::~PrintServerLink() {
  httpClose(http_);
}

std::string PrintServerLink::ServerName() {
  std::string name = cupsServer();
  if (!name.empty() && name.front() != '/') name += ":" + std::to_string(ippPort());
  return name;
}

http_t* PrintServerLink::Connection() {
  if (!connect_tried_) {
    connect_tried_ = true;
    cupsSetPasswordCB2(NoPassword, nullptr);
    errno = 0;
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kBoundMs,
                         nullptr);
    if (http_ != nullptr) {
      watchdog_ = std::make_unique<Watchdog>();
      // Also bounds each wait on a connection libcups makes anew in the middle
      // of a request (after an authentication, say), which the watchdog of
      // that request does not know.
      httpSetTimeout(http_, static_cast<double>(kPrintServerBound.count()), nullptr, nullptr);
    } else if (errno == ETIMEDOUT) {
      timed_out_ = true;
    }
  }
  return http_;
}

void PrintServerLink::ThrowTimedOut() const {
  throw RunError(err::kPrinterError, "the print server " + ServerName() +
                                         " did not answer within " +
                                         std::to_string(kPrintServerBound.count()) + " s");
}

cups_dest_t* PrintServerLink::DefaultDestination() {
  http_t* http = Connection();
  if (timed_out_) ThrowTimedOut();
  if (http == nullptr) return nullptr;
  Bounded bound(*watchdog_, http);
  cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
  if (dest == nullptr && bound.Finish()) {
    timed_out_ = true;
    ThrowTimedOut();
  }
  return dest;
}

ipp_t* PrintServerLink::Request(ipp_t* request, const std::string& resource,
                                std::string_view document) {
  http_t* http = timed_out_ ? nullptr : Connection();
  if (http == nullptr) {
    ippDelete(request);
    if (timed_out_) ThrowTimedOut();
    throw RunError(err::kPrinterError, "the print server " + ServerName() + " cannot be reached");
  }
  ipp_t* response = nullptr;
  {
    Bounded bound(*watchdog_, http);
    http_status_t status =
        cupsSendRequest(http, request, resource.c_str(), ippLength(request) + document.size());
    if (status == HTTP_STATUS_CONTINUE && !document.empty())
      status = cupsWriteRequestData(http, document.data(), document.size());
    if (status == HTTP_STATUS_CONTINUE) response = cupsGetResponse(http, resource.c_str());
    ippDelete(request);
    if (response == nullptr && bound.Finish()) {
      timed_out_ = true;
      ThrowTimedOut();
    }
  }
  if (response == nullptr || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    ippDelete(response);
    throw RunError(err::kPrinterError,
                   std::string("the print server refused the request: ") + cupsLastErrorString());
  }
  return response;
}

}  // namespace hx
