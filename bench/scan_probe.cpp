// The station list scan ("搜台") of the real program offscreen over 100 candidates, half live
// clips on a loopback server and half refused loopback ports, against ffprobe run on each.
// Prints both rates and both kinds of false result; never pass/fail.
// Usage: zelvo_scan_probe [runs] [timeline-log-prefix]
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/posix/GbkCodec.h"
#include "program/Composition.h"
#include "run_until.h"
#include "scan_timeline.h"
#include "support/Clips.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"
#include "support/TestEnvironment.h"

namespace zelvo::bench {
namespace {

constexpr int kCandidates = 100;
constexpr int kScanLimitMs = 15 * 60 * 1000;
constexpr int kSettleMs = 3000;
constexpr const char* kScanEndMessage = "搜索完毕！";
constexpr const char* kFfprobeTimeoutUs = "5000000";

std::vector<Candidate> makeCandidates(test::TempFolder& media,
                                      const test::LoopbackHttpServer& server) {
  const std::string clip = media.file(test::makeClip(media.path(), 6));
  std::vector<Candidate> candidates;
  for (int i = 0; i < kCandidates; ++i) {
    const std::string name = "ch" + std::to_string(i) + ".ts";
    if (i % 2 == 0) {
      std::filesystem::create_hard_link(clip, media.file(name));
      candidates.push_back({server.url(name), true});
    } else {
      candidates.push_back(
          {"http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/" + name, false});
    }
  }
  return candidates;
}

// The scan never tries row 0 of the station list, so the candidates follow a first row.
void writeCandidateFile(const std::string& path, const std::vector<Candidate>& candidates) {
  std::string text = "首行,http://127.0.0.1:9/row0-is-never-tried.ts,\r\n";
  for (size_t i = 0; i < candidates.size(); ++i) {
    text += "候选" + std::to_string(i) + "," + candidates[i].address + ",\r\n";
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << utf8ToGbk(text);
}

struct Outcome {
  int confirmed = 0;
  int deadCountedLive = 0;
  int liveMissed = 0;
  double seconds = 0;
};

Outcome judge(const std::vector<Candidate>& candidates, const std::set<std::string>& found,
              double seconds) {
  Outcome o{static_cast<int>(found.size()), 0, 0, seconds};
  for (const Candidate& c : candidates) {
    const bool counted = found.count(c.address) > 0;
    if (counted && !c.live) ++o.deadCountedLive;
    if (!counted && c.live) ++o.liveMissed;
  }
  return o;
}

void print(const char* who, const Outcome& o) {
  std::printf(
      "  %s: %d confirmed in %.1f s: %.1f confirmed per minute, %.1f candidates per minute; "
      "false: %d dead counted live, %d live missed\n",
      who, o.confirmed, o.seconds, o.confirmed * 60 / o.seconds, kCandidates * 60 / o.seconds,
      o.deadCountedLive, o.liveMissed);
}

// The addresses recorded in tv_lib_ss_jg.txt (each line: name, address, ",").
std::set<std::string> recordedAddresses(const std::string& path,
                                        const std::vector<Candidate>& candidates) {
  std::ifstream in(path, std::ios::binary);
  const std::string text =
      gbkToUtf8(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  std::set<std::string> found;
  for (const Candidate& c : candidates) {
    if (text.find("," + c.address + ",") != std::string::npos) found.insert(c.address);
  }
  return found;
}

int lineCount(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += !line.empty() && line != "\r";
  return lines;
}

// Runs the scan until its end message shows, closing that box; returns false on the time limit.
bool runScan(ZelvoApplication& zelvo, ScanTimeline& timeline) {
  bool endShown = false;
  timeline.begin();
  QTimer::singleShot(0, [&] { zelvo.window().controls().Command10.userClicked(); });
  runUntil(
      [&] {
        timeline.sample();
        return endShown;
      },
      kScanLimitMs,
      [&](const QString& message) {
        if (message == QString::fromUtf8(kScanEndMessage) && !endShown) {
          endShown = true;
          timeline.end();
        } else {
          std::printf("  closed an unexpected message box: %s\n", message.toUtf8().constData());
        }
      });
  if (!endShown) timeline.end();
  // Events still queued at the end run now, so that none of them reaches the next scan.
  int laterEnds = 0;
  runUntil([] { return false; }, kSettleMs,
           [&](const QString& message) {
             laterEnds += message == QString::fromUtf8(kScanEndMessage);
             std::printf("  after the end, %.1f s after the click: a message box: %s\n",
                         timeline.elapsedSeconds(), message.toUtf8().constData());
           });
  return endShown;
}

// Whether ffprobe finds a stream at the address, each run bounded by the same I/O timeout.
bool ffprobeFindsStream(const std::string& address) {
  const std::string command = std::string("timeout 30 ffprobe -v error -rw_timeout ") +
                              kFfprobeTimeoutUs + " -show_entries stream=codec_type -of csv=p=0 '" +
                              address + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string output;
  char buffer[256];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  return ::pclose(pipe) == 0 && !output.empty();
}

Outcome ffprobeBaseline(const std::vector<Candidate>& candidates) {
  QElapsedTimer clock;
  clock.start();
  std::set<std::string> found;
  for (const Candidate& c : candidates) {
    if (ffprobeFindsStream(c.address)) found.insert(c.address);
  }
  return judge(candidates, found, clock.elapsed() / 1000.0);
}

}  // namespace
}  // namespace zelvo::bench

int main(int argc, char** argv) {
  using namespace zelvo;
  using namespace zelvo::bench;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  const std::string logPrefix = argc > 2 ? argv[2] : "";
  test::prepareTestEnvironment();
  prepareWindowProcess();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  test::TempFolder media;
  test::LoopbackHttpServer server(media.path());
  const std::vector<Candidate> candidates = makeCandidates(media, server);
  test::TempFolder folder;
  writeCandidateFile(folder.file("tv_lib_ss.txt"), candidates);

  ZelvoApplication zelvo(folder.path(), test::quietComponents());
  zelvo.start();
  std::printf(
      "%d candidates (%d live clips on loopback, %d refused ports), ffprobe -rw_timeout %s us\n",
      kCandidates, kCandidates / 2, kCandidates / 2, kFfprobeTimeoutUs);
  for (int run = 1; run <= runs; ++run) {
    std::filesystem::remove(folder.file("tv_lib_ss_jg.txt"));
    ScanTimeline timeline(zelvo, candidates);
    const bool ended = runScan(zelvo, timeline);
    const std::string results = folder.file("tv_lib_ss_jg.txt");
    std::printf("run %d%s: %d lines in tv_lib_ss_jg.txt\n", run,
                ended ? "" : " (the scan did not end within the limit)", lineCount(results));
    print("scan   ", judge(candidates, recordedAddresses(results, candidates), timeline.seconds()));
    print("ffprobe", ffprobeBaseline(candidates));
    timeline.printBreakdown(stdout);
    if (!logPrefix.empty()) timeline.writeLog(logPrefix + std::to_string(run) + ".log");
    std::fflush(stdout);
  }
  return 0;
}
