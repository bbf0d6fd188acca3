// "zelvo --check" over 100 loopback candidates (half live clips, a quarter refused ports, a
// quarter servers that accept and never send) at --jobs 1 and --jobs 8, against ffprobe run
// once per candidate through xargs -P with the same parallelism and the same time per
// candidate, in the same run: stations per minute and false results of both. Never pass/fail.
// Then the same without the silent servers, where only the cost of each station counts.
// Usage: zelvo_check_probe [timeout-seconds (default 5)] [jobs...] (default 1 8)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/GbkCodec.h"
#include "support/Clips.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

namespace zelvo::bench {
namespace {

constexpr int kCandidates = 100;

struct Candidate {
  std::string address;
  bool live;
};

std::vector<Candidate> makeCandidates(test::TempFolder& media,
                                      const test::LoopbackHttpServer& serve,
                                      const test::LoopbackHttpServer& silent) {
  const std::string clip = media.file(test::makeClip(media.path(), 6));
  std::vector<Candidate> candidates;
  for (int i = 0; i < kCandidates; ++i) {
    const std::string name = "ch" + std::to_string(i) + ".ts";
    switch (i % 4) {
      case 0:
      case 2:
        std::filesystem::create_hard_link(clip, media.file(name));
        candidates.push_back({serve.url(name), true});
        break;
      case 1:
        candidates.push_back(
            {"http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/" + name, false});
        break;
      default:
        candidates.push_back({silent.url(name), false});
        break;
    }
  }
  return candidates;
}

struct Outcome {
  size_t candidates = 0;
  double seconds = 0;
  double cpuSeconds = 0;  // of the programs run, user and system
  int confirmed = 0;
  int deadCountedLive = 0;
  int liveMissed = 0;
};

Outcome judge(const std::vector<Candidate>& candidates, const std::set<std::string>& found,
              double seconds) {
  Outcome o{candidates.size(), seconds, 0, static_cast<int>(found.size()), 0, 0};
  for (const Candidate& c : candidates) {
    const bool counted = found.count(c.address) > 0;
    o.deadCountedLive += counted && !c.live;
    o.liveMissed += !counted && c.live;
  }
  return o;
}

void print(const char* who, int jobs, const Outcome& o) {
  std::printf(
      "  %-7s jobs %d: %6.1f s, %6.1f stations per minute (%5.1f live per minute), %5.1f s of "
      "processor; false: %d dead counted live, %d live missed\n",
      who, jobs, o.seconds, static_cast<double>(o.candidates) * 60 / o.seconds,
      o.confirmed * 60 / o.seconds, o.cpuSeconds, o.deadCountedLive, o.liveMissed);
  std::fflush(stdout);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of the finished child processes so far.
double childCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The addresses of the station file zelvo wrote (each line: name, address, -999, ...).
std::set<std::string> writtenAddresses(const std::string& path) {
  std::istringstream lines(gbkToUtf8(test::fileBytes(path)));
  std::set<std::string> found;
  for (std::string line; std::getline(lines, line);) {
    const size_t first = line.find(',');
    const size_t second = line.find(',', first + 1);
    if (first != std::string::npos && second != std::string::npos) {
      found.insert(line.substr(first + 1, second - first - 1));
    }
  }
  return found;
}

Outcome runCheck(const std::vector<Candidate>& candidates, const std::string& list, int jobs,
                 double timeout, test::TempFolder& scratch) {
  const std::string output = scratch.file("live-" + std::to_string(jobs) + ".txt");
  const double cpuBefore = childCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const test::ProgramResult result =
      test::runProgram({ZELVO_PROGRAM, "--check", list, "--jobs", std::to_string(jobs), "--timeout",
                        std::to_string(timeout), "--output", output},
                       scratch.path(), 30 * 60 * 1000);
  const double seconds = secondsSince(start);
  if (result.status != 0)
    std::printf("  zelvo ended with %d: %s\n", result.status, result.err.c_str());
  Outcome outcome = judge(candidates, writtenAddresses(output), seconds);
  outcome.cpuSeconds = childCpuSeconds() - cpuBefore;
  return outcome;
}

// ffprobe counts a candidate when it ends well and names at least one stream; each run is
// bounded by the same time as a station of the check, as a whole and for each read.
Outcome runFfprobe(const std::vector<Candidate>& candidates, const std::string& addresses, int jobs,
                   double timeout, test::TempFolder& scratch) {
  const std::string found = scratch.file("ffprobe-" + std::to_string(jobs) + ".txt");
  const std::string script = scratch.file("ffprobe.sh");
  std::ofstream(script) << "#!/bin/sh\n"
                           "streams=$(timeout "
                        << timeout << " ffprobe -v error -rw_timeout "
                        << static_cast<long long>(timeout * 1e6)
                        << " -show_entries stream=codec_type -of csv=p=0 \"$1\" 2>/dev/null)"
                           " && [ -n \"$streams\" ] && echo \"$1\"\nexit 0\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const std::string command = "xargs -P " + std::to_string(jobs) + " -n 1 " + script + " < '" +
                              addresses + "' > '" + found + "'";
  const double cpuBefore = childCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::printf("  xargs reported a failure\n");
  const double seconds = secondsSince(start);
  const double cpuSeconds = childCpuSeconds() - cpuBefore;
  std::ifstream in(found);
  std::set<std::string> counted;
  for (std::string line; std::getline(in, line);) counted.insert(line);
  Outcome outcome = judge(candidates, counted, seconds);
  outcome.cpuSeconds = cpuSeconds;
  return outcome;
}

}  // namespace
}  // namespace zelvo::bench

int main(int argc, char** argv) {
  using namespace zelvo;
  using namespace zelvo::bench;
  const double timeout = argc > 1 ? std::atof(argv[1]) : 5.0;
  std::vector<int> jobsList;
  for (int i = 2; i < argc; ++i) jobsList.push_back(std::max(1, std::atoi(argv[i])));
  if (jobsList.empty()) jobsList = {1, 8};

  test::TempFolder media;
  test::LoopbackHttpServer serve(media.path());
  test::LoopbackHttpServer silent(media.path(), test::LoopbackHttpServer::Mode::Silent);
  const std::vector<Candidate> candidates = makeCandidates(media, serve, silent);
  test::TempFolder scratch;
  const auto writeLists = [&](const std::vector<Candidate>& list, const std::string& prefix) {
    std::string stations;
    std::string addresses;
    for (size_t i = 0; i < list.size(); ++i) {
      stations += "候选" + std::to_string(i) + "," + list[i].address + ",\r\n";
      addresses += list[i].address + "\n";
    }
    std::ofstream(scratch.file(prefix + ".txt"), std::ios::binary) << utf8ToGbk(stations);
    std::ofstream(scratch.file(prefix + "-addresses.txt"), std::ios::binary) << addresses;
  };
  const auto runBoth = [&](const std::vector<Candidate>& list, const std::string& prefix,
                           int jobs) {
    print("zelvo", jobs, runCheck(list, scratch.file(prefix + ".txt"), jobs, timeout, scratch));
    print("ffprobe", jobs,
          runFfprobe(list, scratch.file(prefix + "-addresses.txt"), jobs, timeout, scratch));
  };
  std::vector<Candidate> answering;
  for (const Candidate& c : candidates) {
    if (c.address.rfind(silent.url(""), 0) != 0) answering.push_back(c);
  }
  writeLists(candidates, "all");
  writeLists(answering, "answering");

  std::printf(
      "%d candidates (%d live clips, %d refused ports, %d silent servers on loopback), "
      "%.1f s each\n",
      kCandidates, kCandidates / 2, kCandidates / 4, kCandidates / 4, timeout);
  for (int jobs : jobsList) {
    // The silent servers alone keep every player busy for whole rounds of the timeout.
    const int silentRounds = (kCandidates / 4 + jobs - 1) / jobs;
    std::printf("jobs %d: the silent servers alone take %d rounds of %.1f s, %.1f s\n", jobs,
                silentRounds, timeout, silentRounds * timeout);
    runBoth(candidates, "all", jobs);
  }
  std::printf("the %zu candidates that answer (live clips and refused ports) only\n",
              answering.size());
  for (int jobs : jobsList) runBoth(answering, "answering", jobs);
  return 0;
}
