// The GBK text-file service: encoding both ways, line ends, and replacing files whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fakes/TempFolder.h"
#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"
#include "platform/posix/GbkTextFiles.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

TEST(TextFiles, WritesGbkWithCrLfAndReadsItBack) {
  TempFolder folder;
  GbkTextFiles files;
  auto writer = files.createTextFile(folder.file("a.txt"));
  writer->writeLine("中央台,mms://x");
  writer->writeLine("");
  writer->close();
  EXPECT_EQ(fileBytes(folder.file("a.txt")), "\xD6\xD0\xD1\xEB\xCC\xA8,mms://x\r\n\r\n");

  auto reader = files.openForReading(folder.file("a.txt"));
  EXPECT_FALSE(reader->atEndOfLine());
  EXPECT_EQ(reader->readLine(), "中央台,mms://x");
  EXPECT_TRUE(reader->atEndOfLine());
  EXPECT_EQ(reader->readLine(), "");
  EXPECT_TRUE(reader->atEndOfStream());
  EXPECT_THROW(reader->readLine(), PlatformFailure);
}

TEST(GbkCodec, EveryGbkCharacterSurvivesARoundTrip) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = gbkToUtf8(pair);
      if (text.find("\xEF\xBF\xBD") != std::string::npos) continue;  // not a GBK character
      ++characters;
      ASSERT_EQ(gbkToUtf8(utf8ToGbk(text)), text) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(characters, 21000);
  EXPECT_EQ(gbkToUtf8("\xA1\xA1\x80"), "\u3000\u20AC");
  EXPECT_EQ(utf8ToGbk("\u3000\u20AC"), "\xA1\xA1\x80");
  // Broken UTF-8 and characters outside GBK become "?", one for each.
  EXPECT_EQ(utf8ToGbk("a\xE4\xB8"
                      "b\xF0\x9F\x98\x80"
                      "c\xFF"),
            "a?b?c?");
}

TEST(TextFiles, AcceptsEveryLineEndAndLinesAcrossChunkBorders) {
  TempFolder folder;
  GbkTextFiles files;
  std::string longLine(70000, 'x');
  {
    std::ofstream out(folder.file("mixed.txt"), std::ios::binary);
    out << "a\nb\rc\r\n" << longLine << "\r\n\xD6\xD0";  // no line end at the very end
  }
  auto reader = files.openForReading(folder.file("mixed.txt"));
  std::vector<std::string> lines;
  while (!reader->atEndOfStream()) lines.push_back(reader->readLine());
  EXPECT_THAT(lines, ElementsAre("a", "b", "c", longLine, "中"));
}

TEST(TextFiles, AWriterThatIsNotClosedLeavesTheOldFileAndNoLitter) {
  TempFolder folder;
  GbkTextFiles files;
  {
    auto writer = files.createTextFile(folder.file("lib.txt"));
    writer->writeLine("old");
    writer->close();
  }
  {
    auto writer = files.createTextFile(folder.file("lib.txt"));
    writer->writeLine("new, but never finished");
  }
  EXPECT_EQ(fileBytes(folder.file("lib.txt")), "old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TextFiles, MissingThingsFailInsteadOfReadingAsSomething) {
  TempFolder folder;
  GbkTextFiles files;
  EXPECT_FALSE(files.fileExists(folder.file("none")));
  EXPECT_THROW(files.openForReading(folder.file("none")), PlatformFailure);
  EXPECT_THROW(files.listFiles(folder.file("none")), PlatformFailure);
  EXPECT_THROW(files.createTextFile(folder.file("no/such/folder.txt")), PlatformFailure);
  std::filesystem::create_directory(folder.file("sub"));
  std::ofstream(folder.file("b.asx")) << "x";
  std::ofstream(folder.file("a.htm")) << "x";
  auto entries = files.listFiles(folder.path());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "a.htm");
  EXPECT_EQ(entries[0].path, folder.file("a.htm"));
}

}  // namespace
}  // namespace zelvo::test
