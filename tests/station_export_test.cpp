// Exporting a station file as extended M3U: which rows become entries, what is left out and
// said, a round trip through import, and outputs that cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"
#include "formats/PlaylistReader.h"
#include "library/LibraryMerge.h"
#include "library/StationExport.h"
#include "platform/Failure.h"
#include "support/ReadOnlyFolder.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class StationExportTest : public ::testing::Test {
 protected:
  ExportReport exportTo(const std::string& playlist, const std::string& from = "tv_lib.txt") {
    return exportStationFile(h.files, h.path(from), playlist);
  }
  std::vector<std::string> names(const std::vector<StationLine>& lines) {
    std::vector<std::string> out;
    for (const StationLine& line : lines) out.push_back(line.name);
    return out;
  }
  WindowHarness h;
  TempFolder out;
};

TEST_F(StationExportTest, TheStationsTheLoaderReadsWithoutTemplatesOrSeparators) {
  h.writeFile("tv_lib.txt", {"中央一台,http://a/1.m3u8,-999,假,假", "-------------,-------------,",
                             "系列,http://a/ch%05%.ts,-999,假,假", "扫描,list%0000000%,-999,假,假",
                             "Encoded,http://a/x%2Fy%ZZ.ts,-999,假,假", "Hash,#anchor,-999,假,假",
                             "no second comma,http://a/2", "Tabbed\t,\thttp://a/3\t,5", "End",
                             "After,http://a/4,"});
  const ExportReport report = exportTo(out.file("lib.m3u"));
  EXPECT_EQ(fileBytes(out.file("lib.m3u")),
            "#EXTM3U\n"
            "#EXTINF:-1 tvg-name=\"中央一台\",中央一台\nhttp://a/1.m3u8\n"
            "#EXTINF:-1 tvg-name=\"Encoded\",Encoded\nhttp://a/x%2Fy%ZZ.ts\n"
            "#EXTINF:-1 tvg-name=\"Tabbed\",Tabbed\nhttp://a/3\n");
  EXPECT_EQ(report.written, 3);
  EXPECT_THAT(names(report.templates), ElementsAre("系列", "扫描"));
  EXPECT_THAT(names(report.unwritable), ElementsAre("Hash"));
}

TEST_F(StationExportTest, ExportThenImportGivesTheSameStations) {
  const std::vector<std::string> library = {"中央一台,http://a/1.m3u8,100,假,假",
                                            "Quote \"q\",rtsp://a:554/x?y=1&z=2,-999,假,假",
                                            "Spaces  inside,/home/u/My Videos/a.ts,-999,假,假",
                                            "全角，逗号,mms://a/2,-999,假,假",
                                            "Same name,http://a/3,-999,假,假",
                                            "Same name,http://a/4,-999,假,假"};
  h.writeFile("tv_lib_ss_jg.txt", library);
  exportTo(out.file("list.m3u"), "tv_lib_ss_jg.txt");

  const Playlist playlist = readPlaylist(fileBytes(out.file("list.m3u")), out.path());
  EXPECT_EQ(mergeIntoLibrary(h.files, h.path("tv_lib.txt"), playlist.entries).added, 6);
  std::vector<std::string> imported = h.readFile("tv_lib.txt");
  ASSERT_EQ(imported.size(), library.size() + 1);
  for (size_t i = 0; i < library.size(); ++i) {
    const auto station = [](const std::string& line) {
      return line.substr(0, line.find(',', line.find(',') + 1));
    };
    EXPECT_EQ(station(imported[i]), station(library[i]));
  }
}

TEST_F(StationExportTest, AnOutputThatCannotBeWrittenLeavesNothingHalfWritten) {
  h.writeFile("tv_lib.txt", {"A,http://a/1,-999,假,假", "end"});
  EXPECT_THROW(exportTo(out.file("missing/folder/list.m3u")), PlatformFailure);
  EXPECT_FALSE(std::filesystem::exists(out.file("missing")));

  std::ofstream(out.file("old.m3u")) << "#EXTM3U\nold\n";
  for (FileOperation operation :
       {FileOperation::Create, FileOperation::Write, FileOperation::Close}) {
    h.files.failOn(operation,
                   operation == FileOperation::Close ? 1 : 0);  // the reader closes first
    EXPECT_THROW(exportTo(out.file("old.m3u")), PlatformFailure) << static_cast<int>(operation);
    h.files.heal();
    EXPECT_EQ(fileBytes(out.file("old.m3u")), "#EXTM3U\nold\n");
  }
  {
    ReadOnlyFolder readOnly(out.path());
    if (readOnly.active()) {
      EXPECT_THROW(exportTo(out.file("old.m3u")), PlatformFailure);
      EXPECT_EQ(fileBytes(out.file("old.m3u")), "#EXTM3U\nold\n");
    }
  }
  EXPECT_EQ(exportTo(out.file("old.m3u")).written, 1);
  EXPECT_EQ(std::filesystem::directory_iterator(out.path())->path().filename(), "old.m3u")
      << "no temporary file is left beside it";
}

TEST_F(StationExportTest, AMissingStationFileWritesNothing) {
  EXPECT_THROW(exportTo(out.file("list.m3u"), "tv_lib_ss.txt"), PlatformFailure);
  EXPECT_FALSE(std::filesystem::exists(out.file("list.m3u")));
}

}  // namespace
}  // namespace zelvo::test
