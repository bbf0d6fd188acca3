// The guide reader through its module: guides as real sources carry them, bad ones included, from
// local files and from a loopback server, with its cache.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QDateTime>
#include <QDir>
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

constexpr size_t kPiece = 256 * 1024;  // what the reader reads a file in

// One gzip member of head, then unit filler times, then tail, made without holding the filler;
// a name in its header makes it paddedTo bytes long, when given.
std::string gzip(const std::string& head, size_t filler = 0, const std::string& tail = "",
                 size_t paddedTo = 0, const std::string& unit = "x") {
  std::string name;
  std::string out;
  for (int pass = 0; pass < 2; ++pass) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    gz_header header{};
    header.name = reinterpret_cast<Bytef*>(name.data());
    if (!name.empty()) deflateSetHeader(&stream, &header);
    out.clear();
    std::string block;
    for (size_t i = 0; i < (size_t{1} << 20) / unit.size(); ++i) block += unit;
    const size_t perBlock = block.size() / unit.size();
    auto put = [&](const char* data, size_t size, int flush) {
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
      stream.avail_in = static_cast<uInt>(size);
      do {
        char chunk[65536];
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        deflate(&stream, flush);
        out.append(chunk, sizeof chunk - stream.avail_out);
      } while (stream.avail_out == 0);
    };
    put(head.data(), head.size(), Z_NO_FLUSH);
    for (size_t left = filler; left > 0; left -= std::min(left, perBlock))
      put(block.data(), std::min(left, perBlock) * unit.size(), Z_NO_FLUSH);
    put(tail.data(), tail.size(), Z_FINISH);
    deflateEnd(&stream);
    if (paddedTo == 0 || out.size() == paddedTo) break;
    name.assign(paddedTo - out.size() - 1, 'n');  // the name ends in a zero byte
  }
  return out;
}

// The peak resident memory since it was last reset, in MB.
double peakMb() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
  }
  return 0;
}

void resetPeakMemory() {
  QFile reset("/proc/self/clear_refs");
  if (reset.open(QIODevice::WriteOnly)) reset.write("5");
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
  request.now = QDateTime::currentSecsSinceEpoch();
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
  // Larger than the pieces a guide is read in, so that tags fall across their edges.
  std::string across, acrossKept;
  for (int i = 0; i < 3000; ++i) {
    across += programme(i % 2 ? "cctv1" : "other", i * 10, i * 10 + 10, "T" + std::to_string(i));
    if (i % 2) {
      acrossKept += (acrossKept.empty() ? "" : ", ") + std::string("T") + std::to_string(i) + " " +
                    std::to_string(i * 10) + "-" + std::to_string(i * 10 + 10);
    }
  }
  across = guide(across);
  acrossKept = "cctv1[" + acrossKept + "] hn[]";
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
    double mostMb = 0;  // the most the read may add to the peak memory; 0: not measured
  };
  const std::string twoDone = "cctv1[News 0-60, Film 60-120] hn[Drama 30-90]";
  // Bytes that are not UTF-8, and a character of three bytes, each across the edge of a piece.
  std::string edges = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<tv>\n" + kChannels;
  auto programmeAtEdge = [&](size_t edge, const std::string& channel, int start,
                             const std::string& before, const std::string& from) {
    const std::string open = "<programme start=\"" + timeText(start) + "\" stop=\"" +
                             timeText(start + 60) + "\" channel=\"" + channel + "\"><title>";
    edges += "<!--" + std::string(edge - edges.size() - open.size() - before.size() - 7, 'p') +
             "-->" + open + before + from + "</title></programme>\n";
  };
  programmeAtEdge(kPiece - 1, "cctv1", 0, "Caf", "\xe9 au lait\xff");
  programmeAtEdge(2 * kPiece - 1, "hn", 60, "Zh", "\xe4\xb8\xad");
  edges += "</tv>\n";
  std::string manyAttributes;
  for (int i = 0; i < 80000; ++i) manyAttributes += " a" + std::to_string(i) + "=\"\"";
  // A second member that starts on the last byte of the first piece.
  const size_t hnAt = kPlain.find("<programme start=\"" + timeText(30));
  const std::string twoMembers =
      gzip(kPlain.substr(0, hnAt), 0, "", kPiece - 1) + gzip(kPlain.substr(hnAt));
  const std::string hugeTitle =
      gzip(guide("").substr(0, guide("").size() - 6) + "<programme start=\"" + timeText(0) +
               "\" stop=\"" + timeText(60) + "\" channel=\"cctv1\"><title>",
           size_t{64} << 20, "</title></programme></tv>\n");
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
      {"other channels' programmes passed over however their tags are written",
       {guide("<programme channel='other' start=\"20261209000000\" x=\"a>b\"><title>X</title>"
              "</programme><programme channel=\"other\" start=\"20261209000000\"/>"
              "<programme\n start=\"20261209000000\" stop=\"20261209010000\" "
              "channel=\"cc&#116;v1\"><title>Ref</title></programme>" +
              programme("hn", 30, 90, "Drama"))},
       "cctv1[Ref 0-60] hn[Drama 30-90]",
       1,
       0,
       ""},
      {"a plain guide larger than a piece", {across}, acrossKept, 1, 0, ""},
      {"a gzip guide larger than a piece", {gzip(across)}, acrossKept, 1, 0, ""},
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
      {"programmes beyond the per-channel bound, one of them named by a reference",
       {guide(programme("cctv1", 0, 60, "News") + programme("hn", 30, 90, "Drama") +
              programme("cctv1", 60, 120, "Film") + programme("cc&#116;v1", 120, 180, "Ref"))},
       "cctv1[News 0-60] hn[Drama 30-90]",
       1,
       0,
       "more than 1 programmes",
       1},
      {"comments, CDATA and instructions holding programme tags are no programmes",
       {guide("<!-- <programme channel=\"other\" start=\"20261209000000\"> -->" +
              programme("cctv1", 0, 60, "News") +
              "<?note </programme> <programme channel=\"other\"> ?>" +
              "<programme start=\"20261209000000\" channel=\"other\"><title>X</title>"
              "<!-- </programme> --><desc><![CDATA[</programme>]]></desc></programme>" +
              programme("hn", 30, 90, "Drama") +
              programme("cctv1", 60, 120, "<![CDATA[Fi</programme>]]>lm"))},
       "cctv1[News 0-60, Fi</programme>lm 60-120] hn[Drama 30-90]",
       1,
       0,
       ""},
      {"bytes that are not UTF-8 are replaced, wherever the pieces break",
       {edges},
       "cctv1[Caf\uFFFD au lait\uFFFD 0-60] hn[Zh\u4E2D 60-120]",
       1,
       0,
       ""},
      {"a gzipped page that is not a guide",
       {gzip("<html><body>hi</body></html>")},
       "",
       0,
       0,
       "is not an XMLTV guide"},
      {"a gzipped guide declaring entities", {gzip(bomb)}, "", 0, 0, "refused"},
      {"a start tag with 80,000 attributes keeps the first ones",
       {guide("<programme start=\"" + timeText(0) + "\" stop=\"" + timeText(60) +
              "\" channel=\"cctv1\"" + manyAttributes + "><title>Many</title></programme>" +
              programme("hn", 30, 90, "Drama"))},
       "cctv1[Many 0-60] hn[Drama 30-90]",
       1,
       0,
       "more than 256 attributes"},
      {"a 64 MB title is cut while it is read",
       {hugeTitle},
       "cctv1[" + std::string(512, 'x') + " 0-60] hn[]",
       1,
       0,
       "",
       5000,
       int64_t{512} << 20,
       0,
       0,
       32},
      {"a gzip member starting on the last byte of a piece", {twoMembers}, twoDone, 1, 0, ""},
      {"elements nested 10 million deep",
       {gzip(kPlain.substr(0, kPlain.find("<programme")), size_t{10} << 20, "", 0, "<a>")},
       "cctv1[] hn[]",
       1,
       0,
       "ends early",
       5000,
       int64_t{512} << 20,
       0,
       0,
       32},
      {"only the programmes inside the window; one without a stop ends where the next begins",
       {guide(programme("hn", 0, -1, "Early") + programme("cctv1", 0, 60, "News") +
              programme("hn", 30, 90, "Drama") + programme("cctv1", 60, 120, "Film"))},
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
    resetPeakMemory();
    const double peakBefore = peakMb();
    const auto report = readGuide(*reader, wanted);
    ASSERT_TRUE(report);
    if (c.mostMb > 0) {
      EXPECT_LT(peakMb() - peakBefore, c.mostMb);
    }
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

std::string fileText(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
}

TEST(GuideReader, FetchesIntoTheCacheAskingOnlyWhatChangedAndKeepsTheLastGoodCopy) {
  using Mode = LoopbackHttpServer::Mode;
  using Reply = LoopbackHttpServer::Reply;
  enum class Copy { None, Stale, Fresh };
  const std::string twoDone = "cctv1[News 0-60] hn[Drama 30-90]";
  const std::string guideBody =
      guide(programme("cctv1", 0, 60, "News") + programme("hn", 30, 90, "Drama"));
  const std::string copyBody = kPlain;  // what an earlier fetch left in the cache
  const std::string fromCopy = "cctv1[News 0-60, Film 60-120] hn[Drama 30-90]";
  const Reply gzipped{200, "application/octet-stream", gzip(guideBody), "ETag: \"v1\"\r\n"};
  struct Case {
    const char* name;
    Mode mode;
    std::vector<std::pair<std::string, Reply>> replies;
    std::string source;  // a path on the server, or a whole address
    Copy copy;
    std::string channels;
    int requests;       // -1: not counted
    int requestsAgain;  // made by a second read right after
    const char* problem;
  };
  const Case cases[] = {
      {"gzip known by its bytes, kept with its ETag",
       Mode::Serve,
       {{"/guide", gzipped}},
       "guide",
       Copy::None,
       twoDone,
       1,
       0,
       ""},
      {"a fresh copy is read without asking",
       Mode::Serve,
       {{"/guide", gzipped}},
       "guide",
       Copy::Fresh,
       fromCopy,
       0,
       0,
       ""},
      {"304 reads the copy and makes it fresh; the copy's ETag is asked with",
       Mode::Serve,
       {{"/guide", Reply{304, "text/xml", "", "ETag: \"v0\"\r\n"}}},
       "guide",
       Copy::Stale,
       fromCopy,
       1,
       0,
       ""},
      {"a redirect is followed",
       Mode::Serve,
       {{"/old", Reply{301, "text/html", "", "Location: /guide\r\n"}}, {"/guide", gzipped}},
       "old",
       Copy::None,
       twoDone,
       2,
       0,
       ""},
      {"404 without a copy", Mode::Serve, {}, "guide", Copy::None, "", 1, 1, "answered HTTP 404"},
      {"500 keeps the copy",
       Mode::Serve,
       {{"/guide", Reply{500, "text/html", "oops", ""}}},
       "guide",
       Copy::Stale,
       fromCopy,
       1,
       1,
       "answered HTTP 500; the copy fetched before is read"},
      {"a transfer that stalls keeps the copy",
       Mode::Serve,
       {{"/guide", Reply{200, "text/xml", guideBody.substr(0, 100), "", false}}},
       "guide",
       Copy::Stale,
       fromCopy,
       1,
       1,
       "sent nothing for 400 ms; given up"},
      {"a silent server", Mode::Silent, {}, "guide", Copy::None, "", -1, -1, "sent nothing"},
      {"a redirect loop: the first request and the four redirects allowed",
       Mode::Serve,
       {{"/a", Reply{302, "text/html", "", "Location: /b\r\n"}},
        {"/b", Reply{302, "text/html", "", "Location: /a\r\n"}}},
       "a",
       Copy::None,
       "",
       5,
       5,
       "redirects too often"},
      {"another scheme",
       Mode::Serve,
       {},
       "ftp://127.0.0.1/guide",
       Copy::None,
       "",
       0,
       0,
       "only http(s) addresses and local files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir folder;
    LoopbackHttpServer server(folder.path().toStdString(), c.mode);
    for (const auto& [path, reply] : c.replies) server.setReply(path, reply);
    const std::string address =
        c.source.find("://") == std::string::npos ? server.url(c.source) : c.source;
    GuideReaderSettings settings;
    settings.cacheFolder = folder.filePath("cache").toStdString();
    settings.timeoutMs = 400;
    settings.maxRedirects = 4;
    if (c.copy != Copy::None) {
      CachedGuide copy = cachedGuide(settings.cacheFolder, address);
      QDir().mkpath(QString::fromStdString(settings.cacheFolder));
      writeFile(copy.dataPath, copyBody);
      copy.etag = "\"v0\"";
      copy.checkedAt =
          QDateTime::currentSecsSinceEpoch() - (c.copy == Copy::Fresh ? 3600 : 13 * 3600);
      ASSERT_TRUE(saveCachedGuide(copy, address));
    }
    auto reader = makeGuideReader(settings);
    const auto report = readGuide(*reader, request({address}));
    ASSERT_TRUE(report);
    EXPECT_EQ(describe(*report), c.channels);
    const std::string lines = problems(*report);
    if (*c.problem) {
      EXPECT_NE(lines.find(c.problem), std::string::npos) << lines;
    } else {
      EXPECT_EQ(lines, "");
    }
    const size_t asked = server.requestedPaths().size();
    if (c.requests >= 0) {
      EXPECT_EQ(asked, static_cast<size_t>(c.requests));
    }
    for (const std::string& head : server.requestHeads()) {
      const bool conditional = head.find("If-None-Match: \"v0\"") != std::string::npos;
      EXPECT_EQ(conditional, c.copy == Copy::Stale) << head;
    }
    const CachedGuide kept = cachedGuide(settings.cacheFolder, address);
    if (c.copy == Copy::Stale && c.channels == fromCopy) {
      EXPECT_EQ(fileText(kept.dataPath), copyBody) << "the copy stays whole";
    }
    if (c.source == "guide" && c.copy == Copy::None && !c.channels.empty()) {
      EXPECT_EQ(kept.etag, "\"v1\"");
    }
    ASSERT_TRUE(readGuide(*reader, request({address})));
    if (c.requestsAgain >= 0) {
      EXPECT_EQ(server.requestedPaths().size() - asked, static_cast<size_t>(c.requestsAgain));
    }
  }
}

TEST(GuideReader, LogosAreFetchedOnceAndAnAbandonedReadStaysQuiet) {
  QTemporaryDir folder;
  LoopbackHttpServer server(folder.path().toStdString());
  server.setReply("/logo.png", {200, "image/png", "PNG-BYTES", ""});
  server.setReply("/guide", {200, "text/xml", kPlain, ""});
  writeFile(folder.filePath("local.png").toStdString(), "LOCAL");
  GuideReaderSettings settings;
  settings.cacheFolder = folder.filePath("cache").toStdString();
  settings.timeoutMs = 400;
  auto reader = makeGuideReader(settings);
  std::vector<std::pair<std::string, std::string>> ready;
  reader->logoReady.connect([&](const std::string& address, const std::string& path) {
    ready.emplace_back(address, path);
  });
  struct Case {
    std::string address;
    std::string content;  // of the file handed over; empty: none
  };
  const Case cases[] = {
      {server.url("logo.png"), "PNG-BYTES"},
      {server.url("logo.png"), "PNG-BYTES"},  // from the cache
      {server.url("missing.png"), ""},
      {folder.filePath("local.png").toStdString(), "LOCAL"},
      {"rtsp://127.0.0.1/logo.png", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    ready.clear();
    reader->fetchLogo(c.address);
    EXPECT_TRUE(ready.empty()) << "raised after the call returns";
    ASSERT_TRUE(waitUntil([&] { return !ready.empty(); }, 5000)) << c.address;
    EXPECT_EQ(ready[0].first, c.address);
    EXPECT_EQ(ready[0].second.empty() ? "" : fileText(ready[0].second), c.content) << c.address;
  }
  EXPECT_EQ(server.requestedPaths(), (std::vector<std::string>{"/logo.png", "/missing.png"}));

  // A read cancelled, or whose reader goes, at once or while its server stalls, raises nothing.
  server.setReply("/slow", {200, "text/xml", kPlain.substr(0, 100), "", false});
  int finished = 0;
  for (const char* path : {"guide", "slow"}) {
    for (bool destroy : {false, true}) {
      auto abandoned = makeGuideReader(settings);
      abandoned->finished.connect([&](const GuideReport&) { ++finished; });
      abandoned->read(request({server.url(path)}));
      if (std::string(path) == "slow") processEventsFor(100);
      if (destroy) {
        abandoned.reset();
      } else {
        abandoned->cancel();
      }
      processEventsFor(600);
    }
  }
  EXPECT_EQ(finished, 0);
}

TEST(GuideReader, AMissingModuleIsAProblemOfTheRead) {
  const std::string modules = std::getenv("ZELVO_MODULE_DIR");
  ::setenv("ZELVO_MODULE_DIR", "/nonexistent", 1);
  auto reader = makeGuideReader();
  const auto report = readGuide(*reader, request({"/nonexistent/guide.xml"}));
  std::string logo = "<none>";
  reader->logoReady.connect([&](const std::string&, const std::string& path) { logo = path; });
  reader->fetchLogo("http://127.0.0.1:9/logo.png");
  waitUntil([&] { return logo != "<none>"; }, 2000);
  ::setenv("ZELVO_MODULE_DIR", modules.c_str(), 1);
  ASSERT_TRUE(report);
  EXPECT_EQ(problems(*report).rfind("the guide reader cannot be loaded", 0), 0u)
      << problems(*report);
  EXPECT_EQ(report->sourcesRead, 0);
  EXPECT_EQ(logo, "");
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
