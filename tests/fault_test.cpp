// Faults injected into real runs of the built program: a log that cannot be
// written, a print server that refuses the job, disappears or does not
// answer, controllers that answer every status, reply lengths outside the
// buffer, vendor libraries that are missing or lack a function.  Each case checks what the operator
// is told (the messages echoed on standard error), which lines reached the
// log and the paper, and the exit status a scheduler sees.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "tests/print_server.h"
#include "tests/program_folder.h"

namespace hx::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Lines each ended with CR LF, as on the plant's machines: a definition file
// from its lines, or the log file's bytes for these report lines.
std::string CrLf(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Every message the program showed, in order, as "caption: first line\nsecond line".
// Both kinds of message are two lines long; anything else on standard error
// (the failure details the program traces, the platform's own chatter) is
// not a message to the operator.
Lines Messages(const std::string& err) {
  static const std::string kCaptions[] = {"HX_RPT Error Handler: ",
                                          "Communication Error Message: "};
  Lines lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  Lines messages;
  for (size_t i = 0; i < lines.size(); ++i) {
    for (const std::string& caption : kCaptions) {
      if (lines[i].compare(0, caption.size(), caption) != 0) continue;
      messages.push_back(lines[i] + "\n" + (i + 1 < lines.size() ? lines[i + 1] : ""));
      ++i;
      break;
    }
  }
  return messages;
}

std::string ErrorHandler(const std::string& first_line, const std::string& second_line) {
  return "HX_RPT Error Handler: " + first_line + "\n" + second_line;
}

std::string Communication(const std::string& message, const std::string& library_text) {
  return "Communication Error Message: " + message + "\n" + library_text;
}

// The printed report as a reader sees it: the non-empty lines, margins trimmed.
Lines PrintedLines(const std::string& text) {
  Lines lines;
  std::string line;
  auto flush = [&] {
    const size_t b = line.find_first_not_of(' '), e = line.find_last_not_of(' ');
    if (b != std::string::npos) lines.push_back(line.substr(b, e - b + 1));
    line.clear();
  };
  for (char c : text) {
    if (c == '\n' || c == '\f') {
      flush();
    } else {
      line += c;
    }
  }
  flush();
  return lines;
}

// ---------------------------------------------------------------------------
// The log file

// While it lives, no process started from this one may write a file beyond
// `bytes`: a disk that fills up at an exact byte.  This process ignores the
// signal the kernel sends at the limit; the program starts with the signal's
// default action (see ProgramFolder::Start), so it must guard itself.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    struct rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    saved_signal_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, saved_signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit saved_ {};
  void (*saved_signal_)(int) = SIG_DFL;
};

const Lines kDailyReport = {"DAILY REPORT", "line 1", "line 2", "line 3", "line 4", "line 5"};

std::string DailyReportCrLf(const std::string& log_path, const std::string& log_name) {
  return CrLf({"[SETUP]", "PRINTIT=TRUE", "LOGIT=TRUE", "LOGFILEPATH=" + log_path,
               "LOGFILENAME=" + log_name, "PortraitLines=60", "[HEADER_BEGIN]", kDailyReport[0],
               "[HEADER_END]", "[REPORT]", kDailyReport[1], kDailyReport[2], kDailyReport[3],
               kDailyReport[4], kDailyReport[5]});
}

struct LogFault {
  const char* name;
  // Prepares the fault in the program's folder; returns LOGFILEPATH.
  std::function<std::string(ProgramFolder&)> prepare;
  const char* log_name;
  // The one message, with {logdir} for the log's folder.
  std::string message;
  // What the log file holds afterwards; nothing for a device or a pipe,
  // which cannot be read back, and no file at all where none could be made.
  // A pipe is neither waited on nor held after the run.
  enum class After { kDevice, kPipe, kNoFile, kHolds } after;
  std::string log_after = {};
  // The disk is full after this many bytes of the log file (0: no limit).
  size_t full_after = 0;
};

// Yesterday's report: the part of the log that a failure must leave alone.
// Large, so that the file size limit does not also stop the printer's
// spool file of this small report.
const std::string kOldLog = [] {
  std::string bytes;
  while (bytes.size() < (1u << 20)) bytes += "yesterday's report line\r\n";
  return bytes;
}();

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A log that cannot be written costs the log and nothing else: one message,
// the whole report on paper, whatever the log held before still there, and a
// run that says it failed.
TEST(FaultTest, LogFailureCostsOnlyTheLog) {
  const LogFault cases[] = {
      // Neither a device nor a pipe is a log: the line fails at once.
      {"a device at the log's place", [](ProgramFolder&) { return std::string("/dev"); }, "full",
       ErrorHandler("Error: 75  Could not write to: /dev/full",
                    "Path/File access error in: LogPrint"),
       LogFault::After::kDevice},
      {"a pipe at the log's place",
       [](ProgramFolder& folder) {
         mkfifo(folder.File("R.LOG").c_str(), 0600);
         return std::string();
       },
       "R.LOG",
       ErrorHandler("Error: 75  Could not write to: {logdir}/R.LOG",
                    "Path/File access error in: LogPrint"),
       LogFault::After::kPipe},
      // Permission bits stop no one when the tests run as root, but sysfs
      // refuses new files to everyone, so as root that is the read-only folder.
      {"read-only folder",
       [](ProgramFolder& folder) {
         if (geteuid() == 0) return std::string("/sys");
         fs::create_directory(folder.File("locked"));
         fs::permissions(folder.File("locked"), fs::perms::owner_read | fs::perms::owner_exec);
         return folder.File("locked");
       },
       "HX.LOG",
       ErrorHandler("Error: 75  Could not write to: {logdir}/HX.LOG",
                    "Path/File access error in: LogPrint"),
       LogFault::After::kNoFile},
      // The disk fills up exactly after the second line of this run.
      {"disk full in the middle of the report",
       [](ProgramFolder& folder) {
         folder.Write("R.LOG", kOldLog);
         return std::string();
       },
       "R.LOG",
       ErrorHandler("Error: 61  Could not write to: {logdir}/R.LOG", "Disk full in: LogPrint"),
       LogFault::After::kHolds, kOldLog + CrLf({kDailyReport[0], kDailyReport[1]}),
       kOldLog.size() + CrLf({kDailyReport[0], kDailyReport[1]}).size()},
      // Here the disk takes only the start of the second line: the log must
      // not keep that fragment, or the next run's first line would join it.
      {"disk full in the middle of a line",
       [](ProgramFolder& folder) {
         folder.Write("R.LOG", kOldLog);
         return std::string();
       },
       "R.LOG",
       ErrorHandler("Error: 61  Could not write to: {logdir}/R.LOG", "Disk full in: LogPrint"),
       LogFault::After::kHolds, kOldLog + CrLf({kDailyReport[0]}),
       kOldLog.size() + CrLf({kDailyReport[0]}).size() + 3},
  };
  for (const LogFault& c : cases) {
    SCOPED_TRACE(c.name);
    PrintServer server;
    ProgramFolder folder;
    folder.env["CUPS_SERVER"] = server.socket();
    const std::string log_path = c.prepare(folder);
    folder.Write("HX_RPT.INI", DailyReportCrLf(log_path, c.log_name));

    ProgramRun run;
    if (c.full_after > 0) {
      FileSizeLimit limit(c.full_after);
      run = folder.Run();
    } else {
      run = folder.Run();
    }
    ASSERT_FALSE(run.timed_out);

    const std::string log_dir = log_path.empty() ? folder.path() : log_path;
    EXPECT_EQ(Messages(run.err), Lines{Replace(c.message, "{logdir}", log_dir)}) << run.err;
    const std::string log_file = log_dir + "/" + c.log_name;
    if (c.after == LogFault::After::kNoFile) {
      EXPECT_FALSE(fs::exists(log_file));
    }
    if (c.after == LogFault::After::kHolds) {
      std::ifstream in(log_file, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.log_after);
    }
    if (c.after == LogFault::After::kPipe) {
      EXPECT_LT(run.seconds, 2) << "the program waited on the pipe";
      fs::remove(log_file);
      EXPECT_EQ(folder.Run().exit_status, 0) << "the next start is refused";
    }
    EXPECT_EQ(PrintedLines(server.PrintedText()), kDailyReport);
    EXPECT_EQ(run.exit_status, 1);
  }
}

// ---------------------------------------------------------------------------
// The printer

const std::string kPrinterFailure =
    ErrorHandler("Error: 482  Could not print to: HXPDF", "Printer error in: LinePrint");

// The print job is handed to the print server when the run ends; a server
// that refuses it must not cost the printout silently.
TEST(FaultTest, QueueRejectingJobsIsReportedOnce) {
  PrintServer server;
  ProgramFolder folder;
  folder.env["CUPS_SERVER"] = server.socket();
  ASSERT_EQ(Shell("CUPS_SERVER=" + server.socket() + " cupsreject HXPDF"), 0);
  folder.Write("HX_RPT.INI", DailyReportCrLf("", "R.LOG"));

  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(folder.Read("R.LOG"), CrLf(kDailyReport));
  EXPECT_EQ(server.PrintedText(), "");
  EXPECT_EQ(Messages(run.err), Lines{kPrinterFailure}) << run.err;
  EXPECT_EQ(run.exit_status, 1);
}

// The print server goes away, or stops answering, between two lines of a
// long report.  The program runs under strace, which holds its second log
// line for a few seconds: by then the first line, and with it the start of
// the print job, is through, so the server fails while the report is surely
// in the middle.  Either way the printer failure is reported once, naming
// the queue, and the log gets every line; a server that stopped answering
// costs at most the bound on the request that hands the job over.
TEST(FaultTest, PrintServerFailingBetweenTwoLinesIsReportedOnce) {
  if (Shell("strace -qq -o /dev/null true 2>/dev/null") != 0)
    GTEST_SKIP() << "strace cannot trace processes on this machine";
  struct Case {
    const char* name;
    void (PrintServer::*fail)();
    bool printed_nothing;  // a server that only paused may still print the job later
  } cases[] = {
      {"stopped", &PrintServer::Stop, true},
      {"stopped answering", &PrintServer::Pause, false},
  };
  Lines report;
  for (int i = 1; i <= 400; ++i)
    report.push_back("report line " + std::to_string(i) + " " + std::string(40, '-'));
  std::string ini = CrLf({"[SETUP]", "PRINTIT=TRUE", "LOGIT=TRUE", "LOGFILENAME=R.LOG",
                          "PortraitLines=60", "[REPORT]"});
  ini += CrLf(report);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintServer server;
    ProgramFolder folder;
    folder.env["CUPS_SERVER"] = server.socket();
    folder.Write("HX_RPT.INI", ini);
    fs::rename(folder.File("HX_RPT"), folder.File("HX_RPT.bin"));
    folder.Write("HX_RPT", "#!/bin/sh\nexec strace -f -qq -o /dev/null -P " + folder.File("R.LOG") +
                               " -e trace=write -e inject=write:delay_enter=3000000:when=2"
                               " ./HX_RPT.bin\n");
    fs::permissions(folder.File("HX_RPT"), fs::perms::owner_all);

    const pid_t pid = folder.Start();
    KillAtExit reap(pid);
    const std::string first_line = CrLf({report[0]});
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         folder.Read("R.LOG") != first_line && std::chrono::steady_clock::now() < deadline;)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(folder.Read("R.LOG"), first_line) << "the first line never came";
    ASSERT_EQ(Messages(folder.Read("stderr.txt")), Lines{})
        << "the printer failed before the server did";
    (server.*c.fail)();

    const int exit_status = reap.Wait();
    const std::string err = folder.Read("stderr.txt");
    EXPECT_EQ(folder.Read("R.LOG"), CrLf(report));
    // The job is handed over whole at the end, so nothing of it reached paper.
    if (c.printed_nothing) {
      EXPECT_EQ(server.PrintedText(), "");
    }
    EXPECT_EQ(Messages(err), Lines{kPrinterFailure}) << err;
    EXPECT_EQ(exit_status, 1);
  }
}

// A print server on the network that takes the connection and then stays
// silent, or answers a byte at a time.
class StallingPrintServer {
 public:
  explicit StallingPrintServer(bool trickle) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      throw std::runtime_error("no listening socket");
    port_ = ntohs(address.sin_port);
    // Silent: the system accepts connections on the listener's behalf.
    if (trickle) dripper_ = std::jthread([this](std::stop_token stop) { Drip(stop); });
  }
  ~StallingPrintServer() {
    dripper_ = {};
    close(listener_);
  }
  StallingPrintServer(const StallingPrintServer&) = delete;
  StallingPrintServer& operator=(const StallingPrintServer&) = delete;

  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  // Each connection gets the start of an endless answer, a byte every 300 ms.
  void Drip(std::stop_token stop) {
    std::vector<int> clients;
    const std::string answer = "HTTP/1.1 200 OK\r\n";
    for (size_t sent = 0; !stop.stop_requested(); ++sent) {
      pollfd listener{listener_, POLLIN, 0};
      if (poll(&listener, 1, 300) > 0)
        clients.push_back(accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC));
      for (int client : clients) send(client, &answer[sent % answer.size()], 1, MSG_NOSIGNAL);
    }
    for (int client : clients) close(client);
  }

  int listener_ = -1;
  int port_ = 0;
  std::jthread dripper_;
};

// A print server that does not answer costs at most the bound of one request
// (10 s): the report is complete in the log soon after.  Without printing
// the pass goes on as for no printer; with printing, the failure names the
// server, since the queue's name never came.
TEST(FaultTest, PrintServerThatDoesNotAnswerHoldsTheRunOnlyForTheBound) {
  struct Case {
    const char* name;
    bool trickle;
    bool printit;
  } cases[] = {
      {"silent, printing off", false, false},
      {"a byte at a time, printing on", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StallingPrintServer server(c.trickle);
    ProgramFolder folder;
    folder.env["CUPS_SERVER"] = server.address();
    folder.Write("HX_RPT.INI", CrLf({"[SETUP]", c.printit ? "PRINTIT=TRUE" : "", "LOGIT=TRUE",
                                     "LOGFILENAME=R.LOG", "PortraitLines=60", "[REPORT]",
                                     kDailyReport[1], kDailyReport[2]}));
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_LT(run.seconds, 10 + 5);
    EXPECT_EQ(folder.Read("R.LOG"), CrLf({kDailyReport[1], kDailyReport[2]}));
    EXPECT_EQ(Messages(run.err),
              c.printit ? Lines{ErrorHandler("Error: 482  Could not print to: " + server.address(),
                                             "Printer error in: LinePrint")}
                        : Lines{})
        << run.err;
    EXPECT_EQ(run.exit_status, c.printit ? 1 : 0) << run.err;
  }
}

// ---------------------------------------------------------------------------
// Controllers answering every status

struct StatusCase {
  const char* name;
  const char* plant;    // lines of the controller P besides ^OK=17
  const char* journal;  // the calls that reached the plant
  const char* shown;    // the report line of the tag V
  Lines messages;       // shown with SHOWIT
  int exit_status;
};

const char kOpenAndClear[] = "open P\npuc 1\n";
const char kSendV[] = "send 1 14  ^V @@ EMITL86\n";
const char kSendOk[] = "send 1 15  ^OK @@ EMITL86\n";

std::string Concat(std::initializer_list<std::string> parts) {
  std::string text;
  for (const std::string& part : parts) text += part;
  return text;
}

// Tag V meets the fault; tag OK after it shows that the pass goes on.  With
// the window wanted every failure is shown, without it none, but the report,
// what reached the plant and the exit status are the same.
TEST(FaultTest, EveryControllerStatus) {
  const std::string sending = "Error while sending  ^V @@ EMITL86 to 'P'";
  const std::string not_responding = "The controller does not respond.";
  const std::string port_in_use = "The communication port is in use.";
  const std::string clear_not_responding = "Controller 'P' is not responding to PowerUpClear.";
  const std::string one_query = Concat({kOpenAndClear, kSendV, kSendOk});
  const std::string cleared_and_repeated =
      Concat({kOpenAndClear, kSendV, "puc 1\n", kSendV, kSendOk});
  const std::string clear_without_repeat = Concat({kOpenAndClear, kSendV, "puc 1\n", kSendOk});
  const StatusCase cases[] = {
      {"answers", "^V=5", one_query.c_str(), "V=    5", {}, 0},
      {"-1 unknown symbol",
       "^V=!-1",
       one_query.c_str(),
       "V=?TAG?",
       {Communication(sending, "The controller does not know the symbol or the command.")},
       1},
      // A controller restarted since the open answers after its power-up
      // clear; the value is good, but the run was not clean.
      {"-4 recovered", "^V=!-4,42", cleared_and_repeated.c_str(), "V=   42", {}, 1},
      {"-4 again after the clear", "^V=!-4", cleared_and_repeated.c_str(), "V=?????", {}, 1},
      {"-29 not responding",
       "^V=!-29",
       one_query.c_str(),
       "V=?????",
       {Communication("Controller 'P' is not responding.", not_responding)},
       1},
      {"-100 on a query",
       "^V=!-100",
       one_query.c_str(),
       "V=?????",
       {Communication(sending, port_in_use)},
       1},
      {"positive status",
       "^V=!7",
       one_query.c_str(),
       "V=?????",
       {Communication(sending, "Communication error 7.")},
       1},
      {"-4, clear not responding",
       "@puc=-29\n^V=!-4,42",
       clear_without_repeat.c_str(),
       "V=?????",
       {Communication(clear_not_responding, not_responding),
        Communication(clear_not_responding, not_responding)},
       1},
      {"-4, port in use for the clear",
       "@puc=-100\n^V=!-4,42",
       clear_without_repeat.c_str(),
       "V=?????",
       {Communication("Comm Port is in use!.", port_in_use),
        Communication("Comm Port is in use!.", port_in_use)},
       1},
      {"-4, clear answers 7", "@puc=7\n^V=!-4,42", clear_without_repeat.c_str(), "V=?????", {}, 1},
      {"open refused",
       "@open=-29\n^V=5",
       "open P\n",
       "V=   ",
       {Communication("Controller 'P' Not Found.", not_responding)},
       1},
  };
  for (const StatusCase& c : cases) {
    for (const bool showit : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (showit ? ", SHOWIT" : ""));
      ProgramFolder folder;
      folder.Write("LUMOCOM.SIM", std::string("[P]\n^OK=17\n") + c.plant + "\n");
      folder.Write("HX_RPT.INI",
                   CrLf({"[SETUP]", "LOGIT=TRUE", "LOGFILENAME=R.LOG", "PortraitLines=60",
                         showit ? "SHOWIT=TRUE" : "", "[CONTROLLERS]", "1=P", "[TAGS]",
                         "0 1 IV V 5 0", "1 1 IV OK 4 0", "[HEADER_BEGIN]", "STATUS",
                         "[HEADER_END]", "[REPORT]", "V=\\0", "OK=\\1", "END"}));
      folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
      ProgramRun run = folder.Run();
      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(folder.Read("journal.txt"), c.journal);
      const bool opened = std::string(c.journal) != "open P\n";
      EXPECT_EQ(folder.Read("R.LOG"),
                CrLf({"STATUS", c.shown, opened ? "OK=  17" : "OK=   ", "END"}));
      EXPECT_EQ(Messages(run.err), showit ? c.messages : Lines{}) << run.err;
      EXPECT_EQ(run.exit_status, c.exit_status);
    }
  }
}

// ---------------------------------------------------------------------------
// Reply lengths

// Whatever length the library claims, the reply is read from the buffer and
// no further: a string tag wider than the buffer shows at most its 255
// bytes, a number the part of the reply within the claimed length.  A
// number tag whose reply comes out empty shows no number at all.
TEST(FaultTest, ReplyLengthIsHeldToTheBuffer) {
  std::string long_reply;
  for (int i = 0; i < 300; ++i) long_reply += static_cast<char>('A' + i % 26);
  const std::string buffer = long_reply.substr(0, 255);
  struct {
    const char* length;
    std::string text_line;
    const char* number_line;
    int exit_status;
  } cases[] = {
      // Less than nothing is no reply at all: the fill, never the FALSE text.
      {"-2147483648", "TEXT=" + std::string(300, '?'), "NUM=??????", 1},
      {"-1", "TEXT=" + std::string(300, '?'), "NUM=??????", 1},
      {"0", "TEXT=   ", "NUM=??????", 1},
      {"3", "TEXT=ABC", "NUM=     4", 0},
      {"255", "TEXT=" + buffer, "NUM=    42", 0},
      {"256", "TEXT=" + buffer, "NUM=    42", 0},
      {"2147483647", "TEXT=" + buffer, "NUM=    42", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("reply length ") + c.length);
    ProgramFolder folder;
    folder.Write("LUMOCOM.SIM", std::string("[P]\n@replylen=") + c.length + "\n*TEXT=" +
                                    long_reply + "\n^NUM=  42" + std::string(296, 'x') + "\n");
    folder.Write("HX_RPT.INI",
                 CrLf({"[SETUP]", "LOGIT=TRUE", "LOGFILENAME=R.LOG", "PortraitLines=60",
                       "[CONTROLLERS]", "1=P", "[TAGS]", "0 1 SV TEXT 300 0", "1 1 IV NUM 6 0",
                       "[REPORT]", "TEXT=\\0", "NUM=\\1", "END"}));
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(folder.Read("R.LOG"), CrLf({c.text_line, c.number_line, "END"}));
    EXPECT_EQ(Messages(run.err), Lines{}) << run.err;
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
  }
}

// The processes running the folder's HX_VENDOR: the hosts, and whatever
// copies of themselves their libraries started.
std::vector<pid_t> Hosts(const ProgramFolder& folder) {
  std::vector<pid_t> pids;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", ec);
    if (!ec && exe == folder.File("HX_VENDOR")) pids.push_back(std::stoi(entry.path().filename()));
  }
  return pids;
}

// What a library does at the 4th of six number queries, or at any call:
// one that crashes, never returns or writes far past its reply buffer costs
// the values from there on, never the report: the values before it, fills
// for the rest (the string tag's too, once LumoCom failed), one message,
// exit status 1.  What an ordinary library may do in the window program it
// was made for (talk on standard output or error, read standard input, start
// a helper that lives on) costs nothing: every value, exit status 0, nothing
// on standard error, and a pipe on the program's output closes with it.
// Either way nothing is left behind that refuses the next start.
TEST(FaultTest, AFailingLibraryCostsItsValuesNotTheReport) {
  const char* kAll = "11 22 33 44 55 66 TEXT END";
  const char* kFromTheFourth = "11 22 33 ?? ?? ?? ???? END";
  const std::string kFailed = "HX_RPT Error Handler: Error: 49  \nVendor library failed in: ";
  struct Case {
    const char* name;
    const char* settings;  // of the controller
    std::map<std::string, std::string> env;
    const char* logged;
    Lines messages;
    double within_seconds;
  } cases[] = {
      {"crash", "@crash=4", {}, kFromTheFourth, {kFailed + "SendRecv"}, 2},
      {"hang",
       "@hang=4",
       {{"HX_VENDOR_BOUND_MS", "1500"}},
       kFromTheFourth,
       {kFailed + "SendRecv"},
       10},
      {"overrun", "@overrun=4", {}, kFromTheFourth, {kFailed + "SendRecv"}, 2},
      {"standard output at every call", "@stdout=chatter", {}, kAll, {}, 2},
      {"standard error at every call", "@stderr=chatter", {}, kAll, {}, 2},
      {"standard input read at the open", "@stdin=1", {}, kAll, {}, 2},
      {"a helper that lives 30 s", "@helper=30", {}, kAll, {}, 2},
      // Its end is seen by the process, whatever the helper holds.
      {"a crash after starting a helper",
       "@helper=30\n@crash=2",
       {},
       "11 ?? ?? ?? ?? ?? ???? END",
       {kFailed + "SendRecv"},
       2},
      // The conversions alone are lost: number tags show the fill, the
      // string tag what LumoCom read.
      {"LUMOMWD crashing at the second conversion",
       "",
       {{"LUMOMWD_CRASH", "2"}},
       "11 ?? ?? ?? ?? ?? TEXT END",
       {kFailed + "Process_List"},
       2},
  };
  const std::string plant = "^V1=11\n^V2=22\n^V3=33\n^V4=44\n^V5=55\n^V6=66\n*S=TEXT\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    for (const auto& [key, value] : c.env) folder.env[key] = value;
    folder.error_output = ProgramFolder::ErrorOutput::kPipe;
    folder.Write("LUMOCOM.SIM", std::string("[P]\n") + c.settings + "\n" + plant);
    folder.Write("HX_RPT.INI",
                 CrLf({"[SETUP]", "LOGIT=TRUE", "LOGFILENAME=R.LOG", "PortraitLines=60",
                       "[CONTROLLERS]", "1=P", "[TAGS]", "1 1 IV V1 2 0", "2 1 IV V2 2 0",
                       "3 1 IV V3 2 0", "4 1 IV V4 2 0", "5 1 IV V5 2 0", "6 1 IV V6 2 0",
                       "7 1 SV S 4 NONE", "[REPORT]", "\\1 \\2 \\3 \\4 \\5 \\6 \\7   END"}));
    ProgramRun run = folder.Run();
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, c.messages.empty() ? 0 : 1) << run.err;
    EXPECT_EQ(folder.Read("R.LOG"), CrLf({c.logged}));
    EXPECT_EQ(Messages(run.err), c.messages) << run.err;
    if (c.messages.empty()) {
      EXPECT_EQ(run.err, "");
    }
    EXPECT_LT(run.seconds, c.within_seconds);
    EXPECT_LT(run.pipe_open_after_end, 2);
    folder.Write("LUMOCOM.SIM", "[P]\n" + plant);
    folder.env.erase("LUMOMWD_CRASH");
    EXPECT_EQ(folder.Run().exit_status, 0);
    for (const pid_t helper : Hosts(folder)) kill(helper, SIGKILL);
  }
}

// A scheduler that stops the task while a library hangs (or anything else
// that kills the program) leaves no host behind.
TEST(FaultTest, AHostEndsWithTheProgramHoweverItEnds) {
  ProgramFolder folder;
  folder.Write("LUMOCOM.SIM", "[P]\n@hang=1\n^V1=11\n");
  folder.Write("HX_RPT.INI", CrLf({"[CONTROLLERS]", "1=P", "[TAGS]", "1 1 IV V1 2 0"}));
  folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
  const pid_t pid = folder.Start();
  KillAtExit program(pid);
  for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
       folder.Read("journal.txt").find("send") == std::string::npos;) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the query never reached the library";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_FALSE(Hosts(folder).empty());
  program.Now();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_EQ(Hosts(folder), std::vector<pid_t>{});
}

// ---------------------------------------------------------------------------
// Vendor libraries missing or lacking a function

// A copy of a library in which one exported function can no longer be found
// by its name: the name's last letter is changed in the library's tables.
void CopyLacking(const std::string& from, const std::string& to, const std::string& function) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string name = std::string(1, '\0') + function + '\0';
  int renamed = 0;
  for (size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1)) {
    bytes[at + function.size()] = bytes[at + function.size()] == 'X' ? 'Y' : 'X';
    ++renamed;
  }
  if (renamed == 0) throw std::runtime_error(function + " not found in " + from);
  fs::remove(to);
  std::ofstream out(to, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The communication library built to lack its exchange functions; it lies
// beside this test's executable.
std::string LackingStub() {
  return fs::canonical("/proc/self/exe").parent_path().string() + "/lacking/libLumoCom.so";
}

const char kLibraryPlant[] =
    "[PLANTA]\n"
    "^COUNT=17\n"
    "^LEVEL=2.5\n"
    "[PLANTC]\n"
    "@puc=-29\n"
    "^COUNT=5\n";

// PLANTA works, NOPE is unknown, PLANTC does not answer its power-up clear:
// the three places a communication message comes from.  Tag 1 is unknown to
// its controller, tag 2 is a float.
std::string LibraryCrLf(bool showit) {
  return CrLf({"[SETUP]",
               "LOGIT=TRUE",
               "LOGFILENAME=R.LOG",
               "PortraitLines=60",
               showit ? "SHOWIT=TRUE" : "",
               "[CONTROLLERS]",
               "1=PLANTA",
               "2=NOPE",
               "3=PLANTC",
               "[TAGS]",
               "0 1 IV COUNT 4 0",
               "1 1 IV MISSING 4 0",
               "2 1 FV LEVEL 3 1",
               "3 3 IV COUNT 4 0",
               "[REPORT]",
               "A=\\0",
               "B=\\1",
               "C=\\2",
               "D=\\3",
               "END"});
}

const Lines kAllValues = {"A=  17", "B=?TAG", "C=  2.5", "D=   5", "END"};
const Lines kNoValues = {"A=   ", "B=   ", "C=   ", "D=   ", "END"};

std::string Missing(const std::string& label) {
  return ErrorHandler("Error: 53  ", "File not found in: " + label);
}

std::string Lacking(const std::string& label) {
  return ErrorHandler("Error: 453  ", "Specified DLL function not found in: " + label);
}

const std::string kNopeNotFound =
    Communication("Controller 'NOPE' Not Found.", "No controller of that name is known.");
const std::string kPlantCClear = Communication(
    "Controller 'PLANTC' is not responding to PowerUpClear.", "The controller does not respond.");
const std::string kMissingSymbol =
    Communication("Error while sending  ^MISSING @@ EMITL86 to 'PLANTA'",
                  "The controller does not know the symbol or the command.");

struct LibraryCase {
  const char* name;
  std::function<void(ProgramFolder&)> damage;
  bool showit;
  Lines messages;
  Lines report;
};

void RunLibraryCase(const LibraryCase& c) {
  SCOPED_TRACE(c.name);
  ProgramFolder folder;
  folder.Write("LUMOCOM.SIM", kLibraryPlant);
  folder.Write("HX_RPT.INI", LibraryCrLf(c.showit));
  c.damage(folder);
  ProgramRun run = folder.Run();
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(Messages(run.err), c.messages) << run.err;
  EXPECT_EQ(folder.Read("R.LOG"), CrLf(c.report));
  EXPECT_EQ(run.exit_status, 1);
}

std::function<void(ProgramFolder&)> Remove(const char* library) {
  return [library](ProgramFolder& folder) { fs::remove(folder.File(library)); };
}

std::function<void(ProgramFolder&)> WithoutFunction(const char* library, const char* function) {
  return [library, function](ProgramFolder& folder) {
    CopyLacking(folder.File(library), folder.File(library), function);
  };
}

// Each failure reaches the routine that called into the library, is shown
// once per call, and the report is still written.
TEST(FaultTest, MissingLibraryOrFunctionIsReportedWhereItWasCalled) {
  const LibraryCase cases[] = {
      {"all there",
       [](ProgramFolder&) {},
       true,
       {kNopeNotFound, kPlantCClear, kMissingSymbol},
       kAllValues},
      {"no LumoCom",
       Remove("libLumoCom.so"),
       true,
       {Missing("GetHandle"), Missing("GetHandle"), Missing("GetHandle")},
       kNoValues},
      // The error texts are needed only for a message.
      {"no LumoErr, SHOWIT off", Remove("libLumoErr.so"), false, {}, kAllValues},
      {"no LumoErr",
       Remove("libLumoErr.so"),
       true,
       {Missing("GetHandle"), Missing("SendPUC"), Missing("SendRecv")},
       kAllValues},
      // The first conversion ends the pass: no tag gets a value.
      {"no LUMOMWD",
       Remove("libLUMOMWD.so"),
       true,
       {kNopeNotFound, kPlantCClear, Missing("Process_List")},
       kNoValues},
      {"LumoCom that knows no controller",
       [](ProgramFolder& folder) {
         fs::copy_file(LackingStub(), folder.File("libLumoCom.so"),
                       fs::copy_options::overwrite_existing);
       },
       true,
       {Communication("Controller 'PLANTA' Not Found.", "No controller of that name is known."),
        kNopeNotFound,
        Communication("Controller 'PLANTC' Not Found.", "No controller of that name is known.")},
       kNoValues},
      {"LumoCom without T31MdsOpenController",
       WithoutFunction("libLumoCom.so", "T31MdsOpenController"),
       true,
       {Lacking("GetHandle"), Lacking("GetHandle"), Lacking("GetHandle")},
       kNoValues},
      // The handles stay in use without their power-up clear.
      {"LumoCom without T31MdsSendReceSz",
       WithoutFunction("libLumoCom.so", "T31MdsSendReceSz"),
       true,
       {Lacking("SendPUC"), kNopeNotFound, Lacking("SendPUC"), kMissingSymbol},
       kAllValues},
      // A query that never left shows no value, only the all-"?" fill.
      {"LumoCom without T31MdsSendRece",
       WithoutFunction("libLumoCom.so", "T31MdsSendRece"),
       true,
       {kNopeNotFound, kPlantCClear, Lacking("SendRecv"), Lacking("SendRecv"), Lacking("SendRecv"),
        Lacking("SendRecv")},
       {"A=????", "B=????", "C=?????", "D=????", "END"}},
      {"LumoErr without T31ErrorAsString",
       WithoutFunction("libLumoErr.so", "T31ErrorAsString"),
       true,
       {Lacking("GetHandle"), Lacking("SendPUC"), Lacking("SendRecv")},
       kAllValues},
      {"LUMOMWD without StringAsLong",
       WithoutFunction("libLUMOMWD.so", "StringAsLong"),
       true,
       {kNopeNotFound, kPlantCClear, Lacking("Process_List")},
       kNoValues},
      // The pass ends at the float tag; the tags before it keep their texts.
      {"LUMOMWD without StringAsFloat",
       WithoutFunction("libLUMOMWD.so", "StringAsFloat"),
       true,
       {kNopeNotFound, kPlantCClear, kMissingSymbol, Lacking("Process_List")},
       {"A=  17", "B=?TAG", "C=   ", "D=   ", "END"}},
  };
  ASSERT_TRUE(fs::exists(LackingStub())) << "build the LumoComLacking target";
  for (const LibraryCase& c : cases) RunLibraryCase(c);
}

}  // namespace
}  // namespace hx::testing
