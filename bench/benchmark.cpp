// HX_RPT's benchmark: whole-process runs of the built program on one
// machine, median of several runs each.
//
//   1. floor: a bare start and end with an empty definition file;
//   2. full: 5 controllers, 401 tags of all nine types, 10 header lines,
//      400 report lines with fields, log on, printing to a private PDF queue;
//   3. the same with 2 ms of simulated latency per controller exchange.
//
// It prints each median time and peak resident memory, the ratio full/floor
// and, for the latency run, the ratio to the sum of its exchanges.
//
// Usage: hx_benchmark [runs]          (default 5)
//        hx_benchmark runs BIN        the same, and every case also with the
//                                     program of another build (its bin folder),
//                                     each run in turn with this build's, so
//                                     that the two tables stand side by side
//        hx_benchmark --write DIR     writes the full report's HX_RPT.INI and
//                                     LUMOCOM.SIM into DIR, for profiling by hand

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/print_server.h"
#include "tests/program_folder.h"

namespace {

using hx::testing::PrintServer;
using hx::testing::ProgramFolder;
using hx::testing::ProgramRun;

constexpr int kControllers = 5;
constexpr int kTags = 401;
constexpr const char* kTypes[] = {"IV", "FV", "TV", "SV", "IT", "FT", "ST", "DP", "AP"};

// The tag line of tag i and the simulation line that answers its query.
struct TagDefinition {
  std::string tag_line;
  std::string symbol_line;
};

TagDefinition Tag(int i) {
  const std::string type = kTypes[i % 9];
  const int controller = 1 + i % kControllers;
  const std::string name = "T" + std::to_string(i);
  const std::string head =
      std::to_string(i) + " " + std::to_string(controller) + " " + type + " " + name + " ";
  const std::string table = std::to_string(i % 50);
  if (type == "IV") return {head + "6 0", "^" + name + "=" + std::to_string(i * 37)};
  if (type == "FV") return {head + "4 2", "^" + name + "=" + std::to_string(i) + ".125"};
  if (type == "TV") return {head + "3 1", "^" + name + "=" + std::to_string(i % 100) + ".5"};
  if (type == "SV") return {head + "12 EMPTY", "*" + name + "=TEXT " + std::to_string(i)};
  if (type == "IT")
    return {head + "5 0 " + table, "}" + name + "(" + table + ")=" + std::to_string(i)};
  if (type == "FT")
    return {head + "3 3 " + table,
            "}" + name + "(" + table + ")=-" + std::to_string(i % 10) + ".75"};
  if (type == "ST")
    return {head + "10 NONE " + table, "{" + name + "(" + table + ")=STATE" + std::to_string(i)};
  if (type == "DP") return {head + "ON OFF", "~" + name + "=" + std::to_string(i % 2)};
  return {head + "3 2", "~" + name + "=" + std::to_string(i % 7) + ".33"};
}

std::string FullDefinition(bool print = true) {
  std::string ini = std::string("[SETUP]\r\n") + (print ? "PRINTIT=TRUE\r\n" : "") +
                    "LOGIT=TRUE\r\nLOGFILENAME=BENCH.LOG\r\nPortraitLines=60\r\n"
                    "[CONTROLLERS]\r\n";
  for (int c = 1; c <= kControllers; ++c)
    ini += std::to_string(c) + "=PLC" + std::to_string(c) + "\r\n";
  ini += "[TAGS]\r\n";
  for (int i = 0; i < kTags; ++i) ini += Tag(i).tag_line + "\r\n";
  ini += "[HEADER_BEGIN]\r\n";
  for (int h = 1; h <= 10; ++h) ini += "Header line " + std::to_string(h) + "  \\D \\T\r\n";
  ini += "[HEADER_END]\r\n[REPORT]\r\n";
  for (int r = 0; r < 400; ++r)
    ini += "Tag " + std::to_string(r) + " ........ \\" + std::to_string(r) + "        | \\" +
           std::to_string(400 - r) + "\r\n";
  return ini;
}

std::string Simulation(int latency_ms) {
  std::string sim;
  for (int c = 1; c <= kControllers; ++c) {
    sim += "[PLC" + std::to_string(c) + "]\n";
    if (latency_ms > 0) sim += "@latency_ms=" + std::to_string(latency_ms) + "\n";
    for (int i = c - 1; i < kTags; i += kControllers) sim += Tag(i).symbol_line + "\n";
  }
  return sim;
}

struct Case {
  Case(const char* n, std::string i, std::string s, PrintServer* p)
      : name(n), ini(std::move(i)), sim(std::move(s)), server(p) {}

  const char* name;
  std::string ini;
  std::string sim;
  PrintServer* server;  // null: the run sees no printer
  std::string from;     // the other build's bin folder; empty: this build
  std::vector<double> times;
  long peak_kib = 0;
  size_t exchanges = 0;

  double Median() const {
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
};

size_t CountLines(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

// One run of a case.  The counting run has the stand-in library keep its
// journal, to count the exchanges; the measured runs do without it, since
// writing the journal is the stand-in's own work, not the program's or the
// plant's.
void RunOnce(Case& c, bool counting) {
  ProgramFolder folder("", c.from);
  folder.Write("HX_RPT.INI", c.ini);
  folder.Write("LUMOCOM.SIM", c.sim);
  if (counting) folder.env["LUMOCOM_JOURNAL"] = folder.File("journal.txt");
  if (c.server) folder.env["CUPS_SERVER"] = c.server->socket();
  ProgramRun run = folder.Run();
  if (run.timed_out || run.exit_status != 0)
    throw std::runtime_error(std::string(c.name) + ": run failed (status " +
                             std::to_string(run.exit_status) + ")\n" + run.err);
  if (c.server) c.server->PrintedText();  // let the queue drain before the next run
  if (counting) {
    c.exchanges = CountLines(folder.Read("journal.txt"));
    return;
  }
  c.times.push_back(run.seconds);
  c.peak_kib = std::max(c.peak_kib, run.peak_rss_kib);
}

// The figures of one build's cases, in the order Benchmark makes them.
void Print(const Case* cases, int latency_ms) {
  for (int i = 0; i < 5; ++i)
    std::printf("%-34s median %8.1f ms   peak RSS %7.1f MiB\n", cases[i].name,
                cases[i].Median() * 1000, cases[i].peak_kib / 1024.0);

  const Case& floor = cases[0];
  const Case& full = cases[1];
  const Case& slow = cases[2];
  const Case& unprinted = cases[3];
  const Case& slow_unprinted = cases[4];
  const double exchanges_s = slow.exchanges * latency_ms / 1000.0;
  std::printf("\n2/1 time ratio:                     %.2f   (target <= 1.5)\n",
              full.Median() / floor.Median());
  std::printf("3/(sum of %zu exchanges, %.0f ms):   %.3f  (target <= 1.05)\n", slow.exchanges,
              exchanges_s * 1000, slow.Median() / exchanges_s);
  std::printf("(3 - 1)/(sum of exchanges):         %.3f  (without the start-up floor)\n",
              (slow.Median() - floor.Median()) / exchanges_s);
  std::printf("(2 without printing)/1:             %.2f\n", unprinted.Median() / floor.Median());
  std::printf(
      "((3 without printing) - 1)/(sum):   %.3f  (the program's own work on the exchanges)\n",
      (slow_unprinted.Median() - floor.Median()) / exchanges_s);
  std::printf("peak memory 2 - 1:                  %.1f MiB (target <= 10)\n",
              (full.peak_kib - floor.peak_kib) / 1024.0);
}

// Runs the measurements and prints the figures.  The cases take turns, one
// run each per round, so that a change in the machine's load during the
// benchmark affects all of them alike; with another build, its cases take
// their turns with this build's.
void Benchmark(int runs, const std::string& other) {
  const int latency_ms = 2;
  std::printf("HX_RPT benchmark, median of %d runs each\n", runs);

  PrintServer server;
  const std::string ini = FullDefinition();
  std::vector<Case> cases = {
      {"1 floor (empty definition file)", "", "", nullptr},
      {"2 full report, no latency", ini, Simulation(0), &server},
      {"3 full report, 2 ms per exchange", ini, Simulation(latency_ms), &server},
      // Where the time of 2 and 3 goes: the same reports without the print job.
      {"(2 without printing)", FullDefinition(false), Simulation(0), nullptr},
      {"(3 without printing)", FullDefinition(false), Simulation(latency_ms), nullptr},
  };
  if (!other.empty()) {
    for (size_t i = 0; i < 5; ++i) {
      cases.push_back(cases[i]);
      cases.back().from = other;
    }
  }
  // The counting runs also bring the files the program reads into the cache.
  for (Case& c : cases) RunOnce(c, true);
  for (int r = 0; r < runs; ++r)
    for (Case& c : cases) RunOnce(c, false);
  if (!other.empty()) std::printf("\nThis build:\n");
  Print(cases.data(), latency_ms);
  if (!other.empty()) {
    std::printf("\nThe build in %s:\n", other.c_str());
    Print(cases.data() + 5, latency_ms);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
    std::ofstream(std::string(argv[2]) + "/HX_RPT.INI", std::ios::binary) << FullDefinition();
    std::ofstream(std::string(argv[2]) + "/LUMOCOM.SIM", std::ios::binary) << Simulation(0);
    return 0;
  }
  try {
    // Failures unwind, so that the private print server is stopped.
    Benchmark(argc > 1 ? std::max(1, std::atoi(argv[1])) : 5, argc > 2 ? argv[2] : "");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s", e.what());
    return 1;
  }
  return 0;
}
