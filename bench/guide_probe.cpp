// Times the guide reader on generated guides and reports its peak memory: a week of 2,000
// channels (about 100 MB of XML, gzipped and plain) with 500 of them wanted, and a guide of
// many tiny programmes on one wanted channel, which the per-channel bound keeps small.
//   zelvo_guide_probe [--channels N] [--days N] [--wanted N] [--tiny N]
#include <sys/resource.h>
#include <zlib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

#include "platform/xmltv/XmltvGuideReader.h"

namespace {

// The peak resident memory since the last reset, in MB.
double peakMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::string timeText(int64_t at) {
  const time_t t = static_cast<time_t>(at);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &utc);
  return text;
}

// Writes the guide to a plain and a gzip file at once, piece by piece.
struct GuideWriter {
  GuideWriter(const std::string& plainPath, const std::string& gzipPath)
      : plain(std::fopen(plainPath.c_str(), "wb")), gz(gzopen(gzipPath.c_str(), "wb6")) {}
  ~GuideWriter() {
    flush();
    std::fclose(plain);
    gzclose(gz);
  }
  void add(const std::string& text) {
    buffer += text;
    if (buffer.size() > (1 << 20)) flush();
  }
  void flush() {
    std::fwrite(buffer.data(), 1, buffer.size(), plain);
    gzwrite(gz, buffer.data(), static_cast<unsigned>(buffer.size()));
    plainBytes += buffer.size();
    buffer.clear();
  }
  FILE* plain;
  gzFile gz;
  std::string buffer;
  size_t plainBytes = 0;
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Measure {
  double seconds = 0;
  double cpu = 0;
  double peak = 0;
  zelvo::GuideReport report;
};

Measure readOnce(const std::string& path, const zelvo::GuideWanted& wanted, int64_t from,
                 int64_t until) {
  zelvo::GuideReaderSettings settings;
  settings.maxGuideBytes = int64_t{4} << 30;  // let the tiny-programmes guide through whole
  zelvo::XmltvGuideReader reader(settings);
  std::optional<zelvo::GuideReport> report;
  QEventLoop loop;
  reader.finished.connect([&](const zelvo::GuideReport& r) {
    report = r;
    loop.quit();
  });
  resetPeak();
  QElapsedTimer clock;
  clock.start();
  const double cpuBefore = cpuSeconds();
  zelvo::GuideRequest request{{path}, wanted, from, until};
  reader.read(request);
  loop.exec();
  return {clock.nsecsElapsed() / 1e9, cpuSeconds() - cpuBefore, peakMb(), *report};
}

size_t programmesIn(const zelvo::GuideReport& report) {
  size_t count = 0;
  for (const auto& channel : report.channels) count += channel.programmes.size();
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  int channels = 2000, days = 7, wantedCount = 500;
  long tiny = 10'000'000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--channels")) channels = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--days")) days = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--wanted")) wantedCount = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--tiny")) tiny = std::atol(argv[i + 1]);
  }
  QTemporaryDir folder;
  const std::string plainPath = folder.filePath("week.xml").toStdString();
  const std::string gzipPath = folder.filePath("week.xml.gz").toStdString();
  const int64_t start = 1796774400;  // a midnight, UTC
  size_t plainBytes = 0;
  {
    GuideWriter out(plainPath, gzipPath);
    out.add("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"probe\">\n");
    for (int c = 0; c < channels; ++c) {
      out.add("<channel id=\"ch" + std::to_string(c) + "\"><display-name>Channel " +
              std::to_string(c) + "</display-name><icon src=\"http://logo/" + std::to_string(c) +
              ".png\"/></channel>\n");
    }
    // Programmes of 30 minutes with a short text, as real guides mostly have.
    for (int c = 0; c < channels; ++c) {
      const std::string id = std::to_string(c);
      for (int64_t at = start; at < start + days * 86400; at += 1800) {
        out.add("<programme start=\"" + timeText(at) + "\" stop=\"" + timeText(at + 1800) +
                "\" channel=\"ch" + id + "\"><title lang=\"zh\">节目 " + std::to_string(at % 977) +
                "</title><desc lang=\"zh\">第" + std::to_string(at % 31) +
                "集 一段简短的介绍，说说这个节目讲什么。</desc></programme>\n");
      }
    }
    out.add("</tv>\n");
    out.flush();
    plainBytes = out.plainBytes;
  }
  std::printf("guide: %d channels x %d days, %.1f MB XML, %.1f MB gzip, %d wanted\n", channels,
              days, plainBytes / 1048576.0,
              QFileInfo(QString::fromStdString(gzipPath)).size() / 1048576.0, wantedCount);
  zelvo::GuideWanted wanted;
  for (int c = 0; c < wantedCount; ++c) {
    // Half by id, half by display name.
    if (c % 2) {
      wanted.ids.insert("ch" + std::to_string(c * channels / wantedCount));
    } else {
      wanted.names.insert("channel " + std::to_string(c * channels / wantedCount));
    }
  }
  for (const std::string& path : {gzipPath, plainPath}) {
    const Measure m = readOnce(path, wanted, start, start + days * 86400);
    std::printf("%-5s: %.2f s (%.2f s CPU), peak %.0f MB, %zu channels, %zu programmes kept\n",
                path == gzipPath ? "gzip" : "plain", m.seconds, m.cpu, m.peak,
                m.report.channels.size(), programmesIn(m.report));
  }

  if (tiny > 0) {
    const std::string tinyPath = folder.filePath("tiny.xml.gz").toStdString();
    {
      GuideWriter out(folder.filePath("tiny.xml").toStdString(), tinyPath);
      out.add(
          "<?xml version=\"1.0\"?>\n<tv>\n<channel id=\"t\"><display-name>T</display-name>"
          "</channel>\n");
      for (long i = 0; i < tiny; ++i) {
        out.add("<programme start=\"" + timeText(start + i) + "\" stop=\"" +
                timeText(start + i + 1) + "\" channel=\"t\"><title>x</title></programme>\n");
      }
      out.add("</tv>\n");
    }
    std::remove(folder.filePath("tiny.xml").toStdString().c_str());
    const Measure m = readOnce(tinyPath, zelvo::GuideWanted{{"t"}, {}}, 0, 0);
    std::printf(
        "tiny : %ld programmes on one channel: %.2f s (%.2f s CPU), peak %.0f MB, %zu kept\n", tiny,
        m.seconds, m.cpu, m.peak, programmesIn(m.report));
  }
  return 0;
}
