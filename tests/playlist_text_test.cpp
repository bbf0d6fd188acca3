// A playlist file's bytes as text: UTF-8 when they are UTF-8, GBK otherwise, and files that
// cannot be read as playlists refused with a reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"
#include "platform/posix/PlaylistText.h"
#include "support/TempFolder.h"

using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

TEST(PlaylistText, Utf8WhenValidGbkOtherwise) {
  struct Case {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"http://a/1\n", "http://a/1\n"},
      {"#EXTINF:-1,中文台\n", "#EXTINF:-1,中文台\n"},
      {"\xEF\xBB\xBF#EXTINF:-1,中文台\n", "#EXTINF:-1,中文台\n"},
      {utf8ToGbk("#EXTINF:-1,中文台\n"), "#EXTINF:-1,中文台\n"},
      {"\xEF\xBB\xBF" + utf8ToGbk("中文台"), "中文台"},
      // Cut off in the middle of its last character, the file is still UTF-8.
      {"#EXTINF:-1,中文\xE5\x8F", "#EXTINF:-1,中文"},
      {"#EXTINF:-1,\xF0\x9F\x93", "#EXTINF:-1,"},
      // An encoded surrogate or an overlong form is no UTF-8.
      {"\xED\xA0\x80", gbkToUtf8("\xED\xA0\x80")},
      {"\xC0\xAF", gbkToUtf8("\xC0\xAF")},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(decodePlaylistBytes(c.bytes), c.text) << c.bytes;
}

TEST(PlaylistText, MissingFoldersAndPipesAreRefusedWithAReason) {
  TempFolder folder;
  std::ofstream(folder.file("list.m3u"), std::ios::binary) << utf8ToGbk("中央电视台,\n");
  EXPECT_EQ(readPlaylistText(folder.file("list.m3u")), "中央电视台,\n");

  auto reason = [](const std::string& path) {
    try {
      readPlaylistText(path);
    } catch (const PlatformFailure& failure) {
      return std::string(failure.what());
    }
    return std::string("read");
  };
  EXPECT_THAT(reason(folder.file("missing.m3u")), HasSubstr("No such file"));
  EXPECT_THAT(reason(folder.path()), HasSubstr("not a file"));
  // A pipe with no writer would block a plain open for ever.
  ASSERT_EQ(mkfifo(folder.file("pipe.m3u").c_str(), 0600), 0);
  EXPECT_THAT(reason(folder.file("pipe.m3u")), HasSubstr("not a file"));
}

}  // namespace
}  // namespace zelvo::test
