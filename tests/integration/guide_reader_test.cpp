// The guide reader through its module: guides as real sources carry them, bad ones included, from
// local files and from a loopback server, with its cache.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "platform/xmltv/GuideCache.h"
#include "platform/xmltv/MakeGuideReader.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"

namespace zelvo::test {
namespace {

constexpr int64_t kBase = 1796774400;  // 2026-12-09 00:00 UTC; the times below are minutes from it

std::string timeText(int minutes, const char* offset = " +0000") {
  const int64_t at = kBase + minutes * 60;
  char text[40];
  const time_t t = static_cast<time_t>(at);
  std::tm utc{};
  gmtime_r(&t, &utc);
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &utc);
  return std::string(text) + offset;
}

std::string programme(const std::string& channel, int start, int stop, const std::string& title) {
  std::string stopAttribute = stop < 0 ? "" : " stop=\"" + timeText(stop) + "\"";
  return "<programme start=\"" + timeText(start) + "\"" + stopAttribute + " channel=\"" + channel +
         "\"><title lang=\"zh\">" + title + "</title><desc>about " + title +
         "</desc></programme>\n";
}

const std::string kChannels =
    "<channel id=\"cctv1\"><display-name>CCTV-1</display-name><icon src=\"http://x/1.png\"/>"
    "</channel>\n<channel id=\"hn\"><display-name lang=\"zh\">湖南卫视</display-name>"
    "<display-name>  Hunan   TV </display-name></channel>\n"
    "<channel id=\"other\"><display-name>Other</display-name></channel>\n";

std::string guide(const std::string& programmes, const std::string& head = "") {
  return head + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"t\">\n" +
         kChannels + programmes + "</tv>\n";
}

const std::string kPlain =
    guide(programme("cctv1", 0, 60, "News") + programme("other", 0, 60, "Elsewhere") +
          programme("hn", 30, 90, "Drama") + programme("cctv1", 60, 120, "Film"));

std::string gzip(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// What a report holds, in one line: each channel with its programmes as title start-stop.
std::string describe(const GuideReport& report) {
  std::string text;
  for (const GuideChannel& channel : report.channels) {
    text += (text.empty() ? "" : " ") + channel.id + "[";
    for (const Programme& p : channel.programmes) {
      text += p.title + " " + std::to_string((p.start - kBase) / 60) + "-" +
              std::to_string((p.stop - kBase) / 60) +
              (&p == &channel.programmes.back() ? "" : ", ");
    }
    text += "]";
  }
  return text;
}

std::string problems(const GuideReport& report) {
  std::string text;
  for (const std::string& line : report.problems) text += line + "\n";
  return text;
}

void writeFile(const std::string& path, const std::string& bytes) {
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

GuideRequest request(std::vector<std::string> sources) {
  GuideRequest request;
  request.sources = std::move(sources);
  request.wanted.ids = {"cctv1"};
  request.wanted.names = {"hunan tv"};
  return request;
}

std::optional<GuideReport> readGuide(GuideReader& reader, const GuideRequest& request,
                                     int timeoutMs = 10000) {
  std::optional<GuideReport> report;
  reader.finished.connect([&](const GuideReport& r) { report = r; });
  reader.read(request);
  EXPECT_FALSE(report) << "finished is raised after read returns";
  waitUntil([&] { return report.has_value(); }, timeoutMs);
  return report;
}

TEST(GuideReader, BadGuidesKeepWhatCanBeReadAndSayWhatWasNot) {
  std::string many;
  for (int i = 0; i < 40; ++i)
    many += programme("cctv1", i * 10, i * 10 + 10, "P" + std::to_string(i));
  const std::string bigPlain = guide(many + "<!--" + std::string(200000, 'x') + "-->" +
                                     programme("cctv1", 900, 960, "Late"));
  // The bound falls right before the third programme.
  const size_t bound = bigPlain.find("<programme", bigPlain.find(">P1<"));
  const std::string overBound = "is larger than " + std::to_string(bound) + " bytes";
  const std::string bomb =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE tv [<!ENTITY a \"aaaaaaaaaaaaaaaa\">"
      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n<tv>" +
      kChannels + programme("cctv1", 0, 60, "&b;") + "</tv>";
  struct Case {
    const char* name;
    std::vector<std::string> files;
    std::string channels;  // as describe() gives them
    int sourcesRead;
    int skipped;
    const char* problem;  // a part of the problem lines; empty: none
    int maxProgrammes = 5000;
    int64_t maxBytes = int64_t{512} << 20;
    int64_t keepFrom = 0, keepUntil = 0;
  };
  const std::string twoDone = "cctv1[News 0-60, Film 60-120] hn[Drama 30-90]";
  const Case cases[] = {
      {"a whole guide; unwanted channels and unknown elements passed over",
       {guide("<unknown a=\"1\"><programme channel=\"cctv1\"/></unknown>" +
              programme("cctv1", 0, 60, "News<x-extra>skip</x-extra>") +
              programme("hn", 30, 90, "Drama") + programme("other", 0, 9, "O") +
              programme("cctv1", 60, 120, "Film"))},
       twoDone,
       1,
       0,
       ""},
      {"0 bytes", {""}, "", 0, 0, "is empty or not XML"},
      {"not XML", {"just some text\n"}, "", 0, 0, "is empty or not XML"},
      {"not a guide", {"<html><body>hi</body></html>"}, "", 0, 0, "not an XMLTV guide"},
      {"bytes before <?xml",
       {guide("", std::string("\xef\xbb\xbf garbage\x01\n", 13)) + ""},
       "cctv1[] hn[]",
       1,
       0,
       ""},
      {"garbage before, programmes after", {"\x1f junk " + kPlain}, twoDone, 1, 0, ""},
      {"control characters dropped",
       {guide(programme("cctv1", 0, 60, "Ne\x01w\x0bs\x1f") + programme("cctv1", 60, 120, "Film") +
              programme("hn", 30, 90, "Dra\x08ma"))},
       twoDone,
       1,
       0,
       ""},
      {"truncated in a programme",
       {kPlain.substr(0, kPlain.find("Film") + 2)},
       "cctv1[News 0-60] hn[Drama 30-90]",
       1,
       1,
       "ends early"},
      {"a DOCTYPE declaring entities is refused", {bomb}, "", 0, 0, "refused"},
      {"a plain DOCTYPE is read",
       {guide(programme("cctv1", 0, 60, "News"), "")
            .insert(39, "<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n")},
       "cctv1[News 0-60] hn[]",
       1,
       0,
       ""},
      {"times without offset, with one, impossible ones, stop before start, no channel",
       {guide("<programme start=\"20261209010000\" stop=\"20261209100000 +0800\" channel=\"cctv1\">"
              "<title>UTC</title></programme>"
              "<programme start=\"20261209000000 +2500\" stop=\"20261209010000\" channel=\"cctv1\">"
              "<title>BadOffset</title></programme>"
              "<programme start=\"20261332000000\" stop=\"20261209010000\" channel=\"hn\">"
              "<title>BadDate</title></programme>"
              "<programme start=\"20261209030000\" stop=\"20261209020000\" channel=\"hn\">"
              "<title>Backwards</title></programme>"
              "<programme start=\"20261209030000\" stop=\"20261209040000\">"
              "<title>NoChannel</title></programme>")},
       "cctv1[UTC 60-120] hn[]",
       1,
       4,
       ""},
      {"overlaps cut, same start once, a missing stop ends at the next start",
       {guide(programme("cctv1", 0, 90, "A") + programme("cctv1", 60, 120, "B") +
              programme("cctv1", 60, 100, "B2") + programme("cctv1", 120, -1, "C") +
              programme("cctv1", 180, 240, "D") + programme("cctv1", 300, -1, "Last"))},
       "cctv1[A 0-60, B 60-120, C 120-180, D 180-240] hn[]",
       1,
       1,
       ""},
      {"the same channel from two sources merged in order",
       {guide(programme("cctv1", 60, 120, "Film")),
        guide(programme("cctv1", 0, 60, "News") + programme("hn", 30, 90, "Drama"))},
       twoDone,
       2,
       0,
       ""},
      {"a missing file among others",
       {"/nonexistent/guide.xml", kPlain},
       twoDone,
       1,
       0,
       "cannot be opened"},
      {"gzip", {gzip(kPlain)}, twoDone, 1, 0, ""},
      {"gzip cut in its stream",
       {gzip(bigPlain).substr(0, gzip(bigPlain).size() / 2)},
       "cctv1[" +
           [&] {
             std::string s;
             for (int i = 0; i < 40; ++i)
               s += "P" + std::to_string(i) + " " + std::to_string(i * 10) + "-" +
                    std::to_string(i * 10 + 10) + (i < 39 ? ", " : "");
             return s;
           }() +
           "] hn[]",
       1,
       0,
       "compressed data ends early"},
      {"gzip inflating past the bound",
       {gzip(bigPlain)},
       "cctv1[P0 0-10, P1 10-20] hn[]",
       1,
       0,
       overBound.c_str(),
       5000,
       static_cast<int64_t>(bound)},
      {"a plain guide past the bound",
       {bigPlain},
       "cctv1[P0 0-10, P1 10-20] hn[]",
       1,
       0,
       overBound.c_str(),
       5000,
       static_cast<int64_t>(bound)},
      {"programmes beyond the per-channel bound",
       {kPlain + ""},
       "cctv1[News 0-60] hn[Drama 30-90]",
       1,
       0,
       "more than 1 programmes",
       1},
      {"only the programmes inside the window",
       {kPlain},
       "cctv1[Film 60-120] hn[Drama 30-90]",
       1,
       0,
       "",
       5000,
       int64_t{512} << 20,
       kBase + 60 * 60,
       kBase + 100 * 60},
  };
  QTemporaryDir folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> sources;
    for (size_t i = 0; i < c.files.size(); ++i) {
      if (c.files[i].rfind("/nonexistent", 0) == 0) {
        sources.push_back(c.files[i]);
        continue;
      }
      sources.push_back(folder.filePath(QString::number(i) + ".guide").toStdString());
      writeFile(sources.back(), c.files[i]);
    }
    GuideReaderSettings settings;
    settings.cacheFolder = folder.filePath("cache").toStdString();
    settings.maxProgrammesPerChannel = c.maxProgrammes;
    settings.maxGuideBytes = c.maxBytes;
    auto reader = makeGuideReader(settings);
    GuideRequest wanted = request(sources);
    wanted.keepFrom = c.keepFrom;
    wanted.keepUntil = c.keepUntil;
    const auto report = readGuide(*reader, wanted);
    ASSERT_TRUE(report);
    EXPECT_EQ(describe(*report), c.channels);
    EXPECT_EQ(report->sourcesRead, c.sourcesRead);
    EXPECT_EQ(report->skipped, c.skipped);
    const std::string lines = problems(*report);
    if (*c.problem) {
      EXPECT_NE(lines.find(c.problem), std::string::npos) << lines;
    } else {
      EXPECT_EQ(lines, "");
    }
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
