// Reading M3U, PLS and ASX playlists into stations: names, addresses, relative entries, the
// comma rule, and bad input of every kind (empty, binary, huge, cut short, without addresses).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "formats/PlaylistEntries.h"
#include "formats/PlaylistReader.h"
#include "formats/PlaylistWriter.h"
#include "formats/StationAddress.h"
#include "platform/posix/PlaylistText.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

using Kind = PlaylistProblem::Kind;

// The stations as "name|address", read with relative entries resolved against /lists.
std::vector<std::string> stations(std::string_view text, const std::string& folder = "/lists") {
  std::vector<std::string> out;
  for (const PlaylistEntry& e : readPlaylist(text, folder).entries)
    out.push_back(e.name + "|" + e.address);
  return out;
}

// The problems as "line: kind".
std::vector<std::string> problems(std::string_view text) {
  static const char* kNames[] = {"not-an-address", "too-long", "no-address", "name-cut", "header"};
  std::vector<std::string> out;
  for (const PlaylistProblem& p : readPlaylist(text, "/lists").problems)
    out.push_back(std::to_string(p.line) + ": " + kNames[static_cast<int>(p.kind)]);
  return out;
}

TEST(M3uReading, TheNameIsTheTitleAfterTheAttributesElseTvgNameElseTheAddress) {
  const std::string text =
      "#EXTM3U x-tvg-url=\"http://epg\"\n"
      "#EXTINF:-1 tvg-id=\"c1\" tvg-name=\"CCTV1\" group-title=\"央视, 综合\",CCTV-1 综合\n"
      "http://a/1.m3u8\n"
      "#EXTINF:-1 tvg-name=\"只有台标名\",\n"
      "http://a/2.m3u8\n"
      "#extinf:0 tvg-name='Single' GROUP-TITLE=News,\n"
      "http://a/3.m3u8\n"
      "#EXTINF:-1,\n"
      "http://a/4.m3u8\n"
      "#EXTINF:-1,Sports, Live\n"
      "http://a/5.m3u8\n"
      "#EXTINF:-1 tvg-id=\"x\" group-title=\"News\",Rai 1, Italia\n"
      "http://a/6.m3u8\n"
      "#EXTINF:-1 tvg-name=\"CCTV,1\" group-title=\"News\"\n"
      "http://a/7.m3u8\n";
  EXPECT_THAT(stations(text),
              ElementsAre("CCTV-1 综合|http://a/1.m3u8", "只有台标名|http://a/2.m3u8",
                          "Single|http://a/3.m3u8", "http://a/4.m3u8|http://a/4.m3u8",
                          "Sports， Live|http://a/5.m3u8", "Rai 1， Italia|http://a/6.m3u8",
                          "CCTV，1|http://a/7.m3u8"));
  const Playlist playlist = readPlaylist(text, "/lists");
  EXPECT_EQ(playlist.entries[0].group, "央视， 综合");
  EXPECT_EQ(playlist.entries[2].group, "News");
  EXPECT_EQ(playlist.entries[6].group, "News");
  EXPECT_THAT(playlist.problems, IsEmpty());
}

TEST(M3uReading, PlainListsAnyLineEndAByteOrderMarkAndComments) {
  for (const char* text : {"http://a/1\nhttp://a/2\n", "\xEF\xBB\xBFhttp://a/1\r\nhttp://a/2",
                           "#EXTM3U\r\rhttp://a/1\r#EXTVLCOPT:network-caching=1000\rhttp://a/2\r",
                           "  \t\n# a comment\n\thttp://a/1  \n\n\n#EXTM3U\nhttp://a/2\n"}) {
    EXPECT_THAT(stations(text), ElementsAre("http://a/1|http://a/1", "http://a/2|http://a/2"))
        << text;
    EXPECT_THAT(problems(text), IsEmpty()) << text;
  }
}

TEST(M3uReading, RelativeEntriesResolveAgainstThePlaylistsFolderAndAnySchemeIsKept) {
  struct Case {
    const char* entry;
    const char* address;
  } cases[] = {
      {"clip.ts", "/lists/clip.ts"},
      {"./sub/clip.ts", "/lists/sub/clip.ts"},
      {"../other/clip.ts", "/other/clip.ts"},
      {"sub\\win\\clip.asf", "/lists/sub/win/clip.asf"},
      {"/abs/clip.ts", "/abs/clip.ts"},
      {"C:\\tv\\clip.asf", "C:\\tv\\clip.asf"},
      {"file:///home/u/clip.ts", "file:///home/u/clip.ts"},
      {"mms://a/live", "mms://a/live"},
      {"rtsp://a:554/live", "rtsp://a:554/live"},
      {"udp://@239.0.0.1:1234", "udp://@239.0.0.1:1234"},
      {"rtmp://a/app/stream live=1", "rtmp://a/app/stream live=1"},
      {"x-made-up+scheme://a/b", "x-made-up+scheme://a/b"},
      {"http://a/%E4%B8%AD.ts?x=1&y=%20", "http://a/%E4%B8%AD.ts?x=1&y=%20"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(stations(std::string("#EXTINF:-1,N\n") + c.entry),
                ElementsAre(std::string("N|") + c.address))
        << c.entry;
  }
  // Without a folder, entries stay as the playlist wrote them.
  EXPECT_THAT(stations("clip.ts", ""), ElementsAre("clip.ts|clip.ts"));
}

TEST(M3uReading, ACommaInANameBecomesAFullWidthCommaAndInAnAddressPercentEncoded) {
  const std::string text =
      "#EXTINF:-1 tvg-name=\"A,B\",\n"  // the name from tvg-name keeps the rule too
      "http://a/1\n"
      "#EXTINF:-1,CDN\n"
      "http://a/2,3/x,y.m3u8\n"
      "http://a/4\n";
  EXPECT_THAT(stations(text), ElementsAre("A，B|http://a/1", "CDN|http://a/2%2C3/x%2Cy.m3u8",
                                          "http://a/4|http://a/4"));
  EXPECT_THAT(problems(text), IsEmpty());
  // A path in a folder with a comma becomes a file URL, where %2C names the same file.
  EXPECT_THAT(stations("clip.ts\n", "/my,lists"),
              ElementsAre("file:///my%2Clists/clip.ts|file:///my%2Clists/clip.ts"));
}

TEST(M3uReading, RequestHeadersInEveryFormEndInTheAddressAndSurviveExport) {
  struct Case {
    std::string text;
    std::vector<std::string> addresses;
    std::vector<std::string> problems;
  };
  const std::string ua = "Mozilla%2F5.0%20(X11%3B%20Linux%2C%20like%20Gecko)";
  const Case cases[] = {
      {"#EXTINF:-1,A\n#EXTVLCOPT:http-user-agent=Mozilla/5.0 (X11; Linux, like Gecko)\n"
       "#EXTVLCOPT:http-referrer=https://site/\n#EXTVLCOPT:http-origin=https://site\n"
       "#EXTVLCOPT:network-caching=1000\nhttp://h/a.m3u8\n",
       {"http://h/a.m3u8|User-Agent=" + ua +
        "&Referer=https%3A%2F%2Fsite%2F&Origin=https%3A%2F%2Fsite"},
       {}},
      // Options before the #EXTINF line, and none carried to the next entry.
      {"#EXTVLCOPT:http-user-agent=U\n#EXTINF:-1,A\nhttp://h/a\n#EXTINF:-1,B\nhttp://h/b\n",
       {"http://h/a|User-Agent=U", "http://h/b"},
       {}},
      {"#EXTINF:-1 tvg-id=\"x\" http-user-agent=\"Mozilla/5.0 (X11; Linux, like Gecko)\" "
       "http-referrer=\"https://site/\",A\nhttp://h/a\n",
       {"http://h/a|User-Agent=" + ua + "&Referer=https%3A%2F%2Fsite%2F"},
       {}},
      {"#EXTINF:-1 user-agent=\"U\" referrer=\"R\",A\nhttp://h/a\n",
       {"http://h/a|User-Agent=U&Referer=R"},
       {}},
      {"http://h/a|User-Agent=Mozilla%2F5.0&referer=https://r/&Origin=o&Cookie=k%3Dv\n",
       {"http://h/a|User-Agent=Mozilla%2F5.0&Referer=https%3A%2F%2Fr%2F&Origin=o&Cookie=k%3Dv"},
       {}},
      {"#EXTHTTP:{\"User-Agent\": \"U\\u00e9 \", \"Referer\" : \"https:\\/\\/r\\/\", "
       "\"Cookie\": \"a=b; c=d\"}\nhttp://h/a\n",
       {"http://h/a|User-Agent=U%C3%A9%20&Referer=https%3A%2F%2Fr%2F&Cookie=a%3Db%3B%20c%3Dd"},
       {}},
      // The address's own suffix wins over the option line, which wins over the attribute.
      {"#EXTINF:-1 http-user-agent=\"one\" http-referrer=\"r\",A\n#EXTVLCOPT:http-user-agent=two\n"
       "#EXTVLCOPT:http-origin=o\nhttp://h/a|User-Agent=three\n",
       {"http://h/a|User-Agent=three&Referer=r&Origin=o"},
       {}},
      {"http://cdn/a,b/x.m3u8|Referer=r\n", {"http://cdn/a%2Cb/x.m3u8|Referer=r"}, {}},
      // Bad headers are left out, and the entry is kept.
      {"#EXTVLCOPT:http-user-agent=a\x01b\nhttp://h/a\n", {"http://h/a"}, {"1: header"}},
      {"http://h/a|User-Agent=U&X-Forwarded-For=1\n", {"http://h/a|User-Agent=U"}, {"1: header"}},
      {"#EXTHTTP:{\"Cookie\": \"" + std::string(kMaxHeaderValueBytes + 1, 'c') +
           "\"}\nhttp://h/a\n",
       {"http://h/a"},
       {"1: header"}},
      {"#EXTHTTP:{\"User-Agent\": \"U\",}\n#EXTHTTP:{'Referer': 'r'}\n#EXTHTTP:{\"Referer\": 1}\n"
       "#EXTHTTP:{\"Referer\": \"\\ud800\"}\nhttp://h/a\n",
       {"http://h/a"},
       {"1: header", "2: header", "3: header", "4: header"}},
      {"#EXTHTTP:{\"Referer\": \"a\\r\\nSet-Cookie: x\"}\nhttp://h/a\n",
       {"http://h/a"},
       {"1: header"}},
  };
  for (const Case& c : cases) {
    const Playlist read = readPlaylist(c.text, "/lists");
    std::vector<std::string> addresses;
    for (const PlaylistEntry& e : read.entries) addresses.push_back(e.address);
    EXPECT_EQ(addresses, c.addresses) << c.text;
    EXPECT_EQ(problems(c.text), c.problems) << c.text;
    // Exported, other players see the bare address; imported again, the same station lines.
    const std::string exported = writeExtendedM3u(read.entries);
    for (const PlaylistEntry& e : read.entries)
      EXPECT_NE(exported.find("\n" + std::string(addressUrl(e.address)) + "\n"), std::string::npos);
    const Playlist again = readPlaylist(exported, "/elsewhere");
    std::vector<std::string> back;
    for (const PlaylistEntry& e : again.entries) back.push_back(e.address);
    EXPECT_EQ(back, c.addresses) << exported;
    EXPECT_THAT(again.problems, IsEmpty()) << exported;
  }
  // VLC and the other players read the option lines and the attributes.
  EXPECT_EQ(
      writeExtendedM3u({{"A", "http://h/a|User-Agent=U%2C1&Referer=R&Origin=O&Cookie=k%3Dv", ""}}),
      "#EXTM3U\n#EXTINF:-1 tvg-name=\"A\" http-referrer=\"R\",A\n"
      "#EXTVLCOPT:http-user-agent=U,1\n#EXTVLCOPT:http-referrer=R\n#EXTVLCOPT:http-origin=O\n"
      "#EXTHTTP:{\"Cookie\": \"k=v\"}\nhttp://h/a\n");
}

TEST(M3uReading, TitlesWithoutAddressesAndAddressesWithoutTitles) {
  const std::string text =
      "#EXTM3U\n"
      "#EXTINF:-1,First\n"
      "#EXTINF:-1,Second\n"
      "http://a/2\n"
      "http://a/3\n"
      "#EXTINF:-1,Last\n";
  EXPECT_THAT(stations(text), ElementsAre("Second|http://a/2", "http://a/3|http://a/3"));
  EXPECT_THAT(problems(text), ElementsAre("2: no-address", "6: no-address"));
  EXPECT_THAT(describe(readPlaylist(text, "").problems[0]),
              ::testing::HasSubstr("line 2: skipped, a title without an address: First"));
}

TEST(M3uReading, AFileCutShortKeepsWhatItCompleted) {
  EXPECT_THAT(stations("#EXTINF:-1,A\nhttp://a/1\n#EXTINF:-1,B\nhttp://a/"),
              ElementsAre("A|http://a/1", "B|http://a/"));
  EXPECT_THAT(stations("#EXTINF:-1,A\nhttp://a/1\n#EXTINF:-1 tvg-name=\"Bro"),
              ElementsAre("A|http://a/1"));
  EXPECT_THAT(problems("#EXTINF:-1,A\nhttp://a/1\n#EXTINF:-1 tvg-name=\"Bro"),
              ElementsAre("3: no-address"));
}

TEST(PlaylistReading, EmptyAndBlankPlaylistsGiveNothing) {
  for (const char* text : {"", "\xEF\xBB\xBF", "\n\r\n  \t\n", "#EXTM3U\n", "[playlist]\n",
                           "<asx version=\"3.0\"></asx>"}) {
    const Playlist playlist = readPlaylist(text, "/lists");
    EXPECT_THAT(playlist.entries, IsEmpty()) << text;
    EXPECT_THAT(playlist.problems, IsEmpty()) << text;
  }
}

TEST(PlaylistReading, AddressesWithControlCharactersOrUndecodableBytesOrOfHugeSizeAreSkipped) {
  const std::string tooLong = "http://a/" + std::string(kMaxStationAddressBytes, 'x');
  const std::string text =
      std::string("http://a/\x01x\n") + "http://a/\xEF\xBF\xBDx\n" + tooLong + "\nhttp://a/ok\n";
  EXPECT_THAT(stations(text), ElementsAre("http://a/ok|http://a/ok"));
  EXPECT_THAT(problems(text), ElementsAre("1: not-an-address", "2: not-an-address", "3: too-long"));
  // What a problem shows of the address is short, whatever its size.
  EXPECT_LT(describe(readPlaylist(text, "").problems[2]).size(), 300u);
}

TEST(PlaylistReading, ANameOverAMegabyteIsCutAtACharacterBoundaryAndKept) {
  std::string name;
  while (name.size() <= (1u << 20)) name += "台";
  const Playlist playlist = readPlaylist("#EXTINF:-1," + name + "\nhttp://a/1\n", "");
  ASSERT_EQ(playlist.entries.size(), 1u);
  const std::string& cut = playlist.entries[0].name;
  EXPECT_LE(cut.size(), kMaxStationNameBytes);
  EXPECT_GT(cut.size(), kMaxStationNameBytes - 3);
  EXPECT_EQ(cut.size() % 3, 0u) << "a character was split";
  EXPECT_EQ(cut, name.substr(0, cut.size()));
  ASSERT_EQ(playlist.problems.size(), 1u);
  EXPECT_EQ(playlist.problems[0].kind, Kind::NameCut);
  EXPECT_EQ(playlist.problems[0].line, 2);  // where the entry's address stands
  // Control characters in a name become spaces.
  EXPECT_THAT(stations("#EXTINF:-1,A\x01\x02"
                       "B\x7F\nhttp://a/1"),
              ElementsAre("A  B|http://a/1"));
}

TEST(PlaylistReading, AHundredThousandEntriesAllArriveInTheirOrder) {
  std::string text = "#EXTM3U\n";
  for (int i = 0; i < 100000; ++i)
    text += "#EXTINF:-1,台 " + std::to_string(i) + "\nhttp://a/" + std::to_string(i) + "\n";
  const Playlist playlist = readPlaylist(text, "");
  ASSERT_EQ(playlist.entries.size(), 100000u);
  EXPECT_EQ(playlist.entries.front().name, "台 0");
  EXPECT_EQ(playlist.entries.back().address, "http://a/99999");
  EXPECT_THAT(playlist.problems, IsEmpty());
}

TEST(PlaylistReading, BinaryInputGivesOnlyEntriesThatCanBeStationLines) {
  std::mt19937 random(7);
  for (int run = 0; run < 4; ++run) {
    std::string bytes(256 * 1024, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    if (run == 1) bytes.insert(0, "[playlist]\n");
    if (run == 2) bytes.insert(0, "<asx><entry><ref href=\"");
    const Playlist playlist = readPlaylist(decodePlaylistBytes(bytes), "/lists");
    for (const PlaylistEntry& e : playlist.entries) {
      EXPECT_FALSE(e.name.empty());
      EXPECT_EQ(e.name.find(','), std::string::npos);
      EXPECT_EQ(e.address.find(','), std::string::npos);
      EXPECT_EQ(e.address.find_first_of(std::string("\0\r\n\t", 4)), std::string::npos);
      EXPECT_LE(e.name.size(), kMaxStationNameBytes);
    }
  }
}

TEST(PlsReading, FilesInTheOrderOfTheirNumbersWithTheirTitles) {
  const std::string text =
      "\r\n[playlist]\r\n"
      "NumberOfEntries=2\r\n"
      "File10=http://a/10\r\n"
      "Title10=Ten\r\n"
      "FILE3 = http://a/3\r\n"
      "title3=Three, the third\r\n"
      "Length3=-1\r\n"
      "File4=relative.mp3\r\n"
      "Title7=Only a title\r\n"
      "File5=\r\n"
      "Version=2\r\n"
      "[other]\r\n"
      "File6=http://a/6\r\n";
  EXPECT_THAT(stations(text),
              ElementsAre("Three， the third|http://a/3", "/lists/relative.mp3|/lists/relative.mp3",
                          "Ten|http://a/10"));
  EXPECT_THAT(problems(text), ElementsAre("11: no-address", "10: no-address"));
}

TEST(AsxReading, EntriesWithTheirFirstReferenceAndTitleInAnyLetterCase) {
  const std::string text =
      "<!-- made by hand --><ASX VERSION=\"3.0\"><TITLE>The whole list</TITLE>\n"
      "<Entry><Title>新闻 &amp; 天气</Title><Ref HREF=\"mms://a/news?x=1&amp;y=2\"/>"
      "<ref href=\"mms://a/backup\"/></Entry>\n"
      "<entry><ref href='http://a/&#x4E2D;&#25991;.asf' /></entry>\n"
      "<entry><title><![CDATA[A <b>bold</b> title]]></title><ref href=mms://a/plain /></entry>\n"
      "<entry><title>No reference</title></entry>\n"
      "<EntryRef href=\"http://a/more.asx\"/>\n"
      "<entry><title>Comma, here</title><ref href=\"relative.wmv\"/></entry>\n"
      "</asx>";
  EXPECT_THAT(
      stations(text),
      ElementsAre("新闻 & 天气|mms://a/news?x=1&y=2", "http://a/中文.asf|http://a/中文.asf",
                  "A <b>bold</b> title|mms://a/plain", "http://a/more.asx|http://a/more.asx",
                  "Comma， here|/lists/relative.wmv"));
  EXPECT_THAT(problems(text), ElementsAre("5: no-address"));
}

TEST(AsxReading, AFileCutShortKeepsWhatItCompletedAndUnknownEntitiesStay) {
  EXPECT_THAT(stations("<asx><entry><title>A &nbsp; &#0; &#xZZ;</title><ref href=\"mms://a/1\"/>"
                       "</entry><entry><ref href=\"mms://a/2\"/><title>B"),
              ElementsAre("A &nbsp; &#0; &#xZZ;|mms://a/1", "mms://a/2|mms://a/2"));
  EXPECT_THAT(stations("<asx><entry><ref href=\"mms://a/1\"/></entry><entry><ref href=\"mms://"),
              ElementsAre("mms://a/1|mms://a/1"));
  EXPECT_THAT(stations("\xEF\xBB\xBF  \r\n<asx><entry><ref href=\"mms://a/1\"/>"),
              ElementsAre("mms://a/1|mms://a/1"));
}

}  // namespace
}  // namespace zelvo::test
