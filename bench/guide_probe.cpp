// Times the guide reader on generated guides and reports its peak memory: a week of 2,000
// channels (about 100 MB of XML, gzipped and plain) with 500 of them wanted, a guide of many tiny
// programmes on one wanted channel, which the per-channel bound keeps small, and hostile guides:
// one start tag of 80,000 attributes, a 0.5 MB gzip holding one 500 MB title, ten million open
// elements, and how long cancel() takes while they are read.
//   zelvo_guide_probe [--channels N] [--days N] [--wanted N] [--tiny N]
//                     [--hostile-only | --no-hostile]
#include <sys/resource.h>
#include <zlib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

#include "formats/XmltvTime.h"
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

// How long cancel() takes when called after the read ran for each of the delays: the worst.
double worstCancelMs(const std::string& path, const zelvo::GuideWanted& wanted) {
  double worst = 0;
  for (int delayMs : {5, 20, 50, 100, 200, 400}) {
    zelvo::XmltvGuideReader reader(zelvo::GuideReaderSettings{});
    zelvo::GuideRequest request{{path}, wanted, 0, 0};
    reader.read(request);
    QEventLoop loop;
    QTimer::singleShot(delayMs, &loop, &QEventLoop::quit);
    loop.exec();
    QElapsedTimer clock;
    clock.start();
    reader.cancel();
    worst = std::max(worst, clock.nsecsElapsed() / 1e6);
  }
  return worst;
}

// Writes head, then block the given times over, then tail, into a gzip file.
void writeGzip(const std::string& path, const std::string& head, const std::string& block,
               int times, const std::string& tail) {
  gzFile gz = gzopen(path.c_str(), "wb9");
  gzwrite(gz, head.data(), static_cast<unsigned>(head.size()));
  for (int i = 0; i < times; ++i) gzwrite(gz, block.data(), static_cast<unsigned>(block.size()));
  if (!tail.empty()) gzwrite(gz, tail.data(), static_cast<unsigned>(tail.size()));
  gzclose(gz);
}

// Reads one hostile guide and prints what it cost, with the size of its file.
void readHostile(const char* what, const std::string& path, const zelvo::GuideWanted& wanted) {
  const Measure read = readOnce(path, wanted, 0, 0);
  std::printf("%s (%.0f KB file): %.3f s, peak %.0f MB, %zu kept\n", what,
              QFileInfo(QString::fromStdString(path)).size() / 1024.0, read.seconds, read.peak,
              programmesIn(read.report));
}

void hostileGuides(const QTemporaryDir& folder, const std::string& weekGzip) {
  const int64_t start = 1796774400;
  const std::string open = "<?xml version=\"1.0\"?>\n<tv>\n<programme start=\"" +
                           zelvo::formatXmltvTime(start) + "\" stop=\"" +
                           zelvo::formatXmltvTime(start + 1800) + "\" channel=\"t\"";
  const zelvo::GuideWanted wanted{{"t"}, {}};

  const std::string attributesPath = folder.filePath("attributes.xml").toStdString();
  {
    std::ofstream out(attributesPath, std::ios::binary);
    out << open;
    for (int i = 0; i < 80000; ++i) out << " a" << i << "=\"\"";
    out << "><title>x</title></programme>\n</tv>\n";
  }
  readHostile("one tag of 80,000 attributes", attributesPath, wanted);

  const std::string titlePath = folder.filePath("title.xml.gz").toStdString();
  writeGzip(titlePath, open + "><title>", std::string(1 << 20, 'x'), 500,
            "</title></programme>\n</tv>\n");
  readHostile("one 500 MB title, gzipped", titlePath, wanted);

  std::string nestBlock;
  for (int i = 0; i < 100000; ++i) nestBlock += "<a>";
  const std::string nestPath = folder.filePath("nest.xml.gz").toStdString();
  writeGzip(nestPath, "<tv>", nestBlock, 100, "");
  readHostile("10 million open elements, gzipped", nestPath, wanted);

  std::printf(
      "cancel() while reading, worst of 6 moments: attributes %.1f ms, title %.1f ms, nest %.1f ms",
      worstCancelMs(attributesPath, wanted), worstCancelMs(titlePath, wanted),
      worstCancelMs(nestPath, wanted));
  if (!weekGzip.empty()) std::printf(", week %.1f ms", worstCancelMs(weekGzip, wanted));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  int channels = 2000, days = 7, wantedCount = 500;
  long tiny = 10'000'000;
  QTemporaryDir folder;
  if (argc > 1 && !std::strcmp(argv[argc - 1], "--hostile-only")) {
    hostileGuides(folder, "");
    return 0;
  }
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--channels")) channels = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--days")) days = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--wanted")) wantedCount = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--tiny")) tiny = std::atol(argv[i + 1]);
  }
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
        out.add("<programme start=\"" + zelvo::formatXmltvTime(at) + "\" stop=\"" +
                zelvo::formatXmltvTime(at + 1800) + "\" channel=\"ch" + id +
                "\"><title lang=\"zh\">节目 " + std::to_string(at % 977) +
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
        out.add("<programme start=\"" + zelvo::formatXmltvTime(start + i) + "\" stop=\"" +
                zelvo::formatXmltvTime(start + i + 1) +
                "\" channel=\"t\"><title>x</title></programme>\n");
      }
      out.add("</tv>\n");
    }
    std::remove(folder.filePath("tiny.xml").toStdString().c_str());
    const Measure m = readOnce(tinyPath, zelvo::GuideWanted{{"t"}, {}}, 0, 0);
    std::printf(
        "tiny : %ld programmes on one channel: %.2f s (%.2f s CPU), peak %.0f MB, %zu kept\n", tiny,
        m.seconds, m.cpu, m.peak, programmesIn(m.report));
  }
  if (std::strcmp(argv[argc - 1], "--no-hostile") != 0) hostileGuides(folder, gzipPath);
  return 0;
}
