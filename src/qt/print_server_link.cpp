#include "qt/print_server_link.h"

#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "base/run_error.h"

namespace hx {

namespace {

constexpr int kBoundMs = static_cast<int>(
    std::chrono::duration_cast<std::chrono::milliseconds>(kPrintServerBound).count());

// Ends one request that outlives the bound.  libcups starts waiting afresh
// after every byte it gets, so its own timeout alone would let a server that
// answers a byte at a time hold the run for ever; shutting the socket down
// under the request ends whatever libcups is waiting for at that moment.
class RequestBound {
 public:
  explicit RequestBound(http_t* http)
      : watchdog_([this, fd = httpGetFd(http)](std::stop_token stop) { Watch(stop, fd); }) {}
  RequestBound(const RequestBound&) = delete;
  RequestBound& operator=(const RequestBound&) = delete;

  bool Expired() const { return expired_; }

 private:
  void Watch(std::stop_token stop, int fd) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, kPrintServerBound, [] { return false; });
    if (stop.stop_requested()) return;
    expired_ = true;
    shutdown(fd, SHUT_RDWR);
  }

  std::atomic<bool> expired_ = false;
  std::jthread watchdog_;  // last, so that it is joined before the flag goes
};

// Nobody may be at a terminal to answer a password prompt, and the run must
// not wait for one: a server that wants a password refuses the request.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
  return nullptr;
}

}  // namespace

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
  RequestBound bound(http);
  cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
  if (dest == nullptr && bound.Expired()) {
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
    RequestBound bound(http);
    http_status_t status =
        cupsSendRequest(http, request, resource.c_str(), ippLength(request) + document.size());
    if (status == HTTP_STATUS_CONTINUE && !document.empty())
      status = cupsWriteRequestData(http, document.data(), document.size());
    if (status == HTTP_STATUS_CONTINUE) response = cupsGetResponse(http, resource.c_str());
    ippDelete(request);
    if (response == nullptr && bound.Expired()) {
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
