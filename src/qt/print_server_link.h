// The one connection a run keeps to the print server, through libcups.
// Every request on it ends within kPrintServerBound and at most a second
// more (the watchdog looks once a second), connecting included,
// whether the server answers, stays silent or answers a byte at a time: a
// print server that does not answer costs the printout, never the report.
// Once a request has run out of time the server counts as gone for the rest
// of the run, and every further request fails at once.
//
// Used from the program's single user-interface thread.  From the first
// request on, a watchdog thread waits beside it, doing nothing but end a
// request that outlives the bound.

#ifndef HX_QT_PRINT_SERVER_LINK_H_
#define HX_QT_PRINT_SERVER_LINK_H_

#include <cups/cups.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace hx {

inline constexpr std::chrono::seconds kPrintServerBound{10};

class PrintServerLink {
 public:
  PrintServerLink();
  ~PrintServerLink();
  PrintServerLink(const PrintServerLink&) = delete;
  PrintServerLink& operator=(const PrintServerLink&) = delete;

  // The print server as the user's settings name it (host, host:port or socket).
  static std::string ServerName();

  // The user's default destination with the queue's defaults and the user's
  // own options; null when the server has no printer to offer (also when
  // there is no server at all).  A server that does not answer in time
  // raises RunError.
  cups_dest_t* DefaultDestination();

  // Sends request (deleted here) to resource, followed by document, and
  // returns the server's response, to be deleted by the caller.  A request
  // the server refuses, or does not answer in time, raises RunError.
  ipp_t* Request(ipp_t* request, const std::string& resource, std::string_view document = {});

  bool TimedOut() const { return timed_out_; }

 private:
  class Watchdog;
  class Bounded;

  // The connection, made at the first request; null when there is no server.
  http_t* Connection();
  [[noreturn]] void ThrowTimedOut() const;

  std::unique_ptr<Watchdog> watchdog_;  // made with the connection
  http_t* http_ = nullptr;
  bool connect_tried_ = false;
  bool timed_out_ = false;
};

}  // namespace hx

#endif  // HX_QT_PRINT_SERVER_LINK_H_
