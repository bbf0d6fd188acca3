// An exported playlist as the other players read it: libVLC and libmpv, each with its own
// playlist parser, find every station with its name and address, in the library's order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mpv/client.h>
#include <vlc/vlc.h>

#include <chrono>
#include <thread>

#include "fakes/WindowHarness.h"
#include "library/StationExport.h"
#include "support/IntegrationMain.h"

using ::testing::ElementsAreArray;

namespace zelvo::test {
namespace {

// Names and addresses that a careless M3U writer would break.
const std::vector<std::string> kStations = {
    "中央一台|http://127.0.0.1:1/live/1.m3u8",
    "Say \"hi\"|http://127.0.0.1:1/a?x=1&y=2",
    "全角，逗号|rtsp://127.0.0.1:1/b",
    "tvg-name=\"fake\"|http://127.0.0.1:1/c%20d.ts",
};

class ExportedPlaylistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> lines;
    for (const std::string& station : kStations) {
      const size_t bar = station.find('|');
      lines.push_back(station.substr(0, bar) + "," + station.substr(bar + 1) + ",-999,假,假");
    }
    lines.push_back("end");
    h.writeFile("tv_lib.txt", lines);
    playlist = out.file("list.m3u");
    ASSERT_EQ(exportStationFile(h.files, h.path("tv_lib.txt"), playlist).written,
              static_cast<int>(kStations.size()));
  }
  WindowHarness h;
  TempFolder out;
  std::string playlist;
};

TEST_F(ExportedPlaylistTest, LibVlcReadsEveryStation) {
  const char* arguments[] = {"--quiet", "--no-video", "--no-audio"};
  libvlc_instance_t* vlc = libvlc_new(3, arguments);
  ASSERT_NE(vlc, nullptr);
  libvlc_media_t* media = libvlc_media_new_path(vlc, playlist.c_str());
  ASSERT_EQ(libvlc_media_parse_with_options(media, libvlc_media_parse_local, 10000), 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (libvlc_media_get_parsed_status(media) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(libvlc_media_get_parsed_status(media), libvlc_media_parsed_status_done);

  std::vector<std::string> read;
  libvlc_media_list_t* items = libvlc_media_subitems(media);
  for (int i = 0; items && i < libvlc_media_list_count(items); ++i) {
    libvlc_media_t* item = libvlc_media_list_item_at_index(items, i);
    char* title = libvlc_media_get_meta(item, libvlc_meta_Title);
    char* mrl = libvlc_media_get_mrl(item);
    read.push_back(std::string(title ? title : "") + "|" + (mrl ? mrl : ""));
    libvlc_free(title);
    libvlc_free(mrl);
    libvlc_media_release(item);
  }
  if (items) libvlc_media_list_release(items);
  libvlc_media_release(media);
  libvlc_release(vlc);
  EXPECT_THAT(read, ElementsAreArray(kStations));
}

TEST_F(ExportedPlaylistTest, LibMpvReadsEveryStation) {
  mpv_handle* mpv = mpv_create();
  ASSERT_NE(mpv, nullptr);
  for (const auto& [name, value] : {std::pair{"vo", "null"},
                                    {"ao", "null"},
                                    {"idle", "yes"},
                                    {"pause", "yes"},
                                    {"terminal", "no"}})
    mpv_set_option_string(mpv, name, value);
  ASSERT_EQ(mpv_initialize(mpv), 0);
  const char* load[] = {"loadfile", playlist.c_str(), nullptr};
  ASSERT_EQ(mpv_command(mpv, load), 0);

  // The playlist file is replaced by its entries once mpv has opened it.
  int64_t count = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    mpv_wait_event(mpv, 0.05);
    mpv_get_property(mpv, "playlist-count", MPV_FORMAT_INT64, &count);
    char* first = mpv_get_property_string(mpv, "playlist/0/filename");
    const bool expanded = first && std::string(first) != playlist;
    mpv_free(first);
    if (expanded && count == static_cast<int64_t>(kStations.size())) break;
  }
  std::vector<std::string> read;
  for (int64_t i = 0; i < count; ++i) {
    const std::string prefix = "playlist/" + std::to_string(i) + "/";
    char* title = mpv_get_property_string(mpv, (prefix + "title").c_str());
    char* file = mpv_get_property_string(mpv, (prefix + "filename").c_str());
    read.push_back(std::string(title ? title : "") + "|" + (file ? file : ""));
    mpv_free(title);
    mpv_free(file);
  }
  mpv_terminate_destroy(mpv);
  EXPECT_THAT(read, ElementsAreArray(kStations));
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
