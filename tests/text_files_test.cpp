// The GBK text-file service: encoding both ways, line ends, and replacing files whole.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Failure.h"
#include "platform/posix/GbkCodec.h"
#include "platform/posix/GbkTextFiles.h"
#include "support/TempFolder.h"

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
  // GBK's codes stay; what GBK cannot hold takes GB18030's code and survives.
  struct Case {
    std::string text, bytes;
  } cases[] = {
      {"\u3000\u20AC", "\xA1\xA1\x80"},
      {"São ç ñ", "S\x81\x30\x8A\x30o \x81\x30\x8A\x34 \x81\x30\x8A\x39"},
      {"한국", "\x83\x36\x84\x33\x82\x37\xF4\x30"},
      {"😀", "\x94\x39\xFC\x36"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToGbk(c.text), c.bytes) << c.text;
    EXPECT_EQ(gbkToUtf8(c.bytes), c.text) << c.text;
  }
  // Every BMP character and one of each other plane comes back as it was, but for the
  // replacement character and 24 private-use ones that GB18030-2022 gave to standard
  // characters, for which the system's converter has no code any more.
  for (uint32_t cp = 0x80; cp < 0x110000; cp += cp < 0x10000 ? 1 : 0x10000) {
    if ((cp >= 0xD800 && cp < 0xE000) || (cp >= 0xE78D && cp <= 0xE864) || cp == 0xFFFD) continue;
    std::string text;
    if (cp < 0x800) {
      text = {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
    } else if (cp < 0x10000) {
      text = {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
              static_cast<char>(0x80 | (cp & 0x3F))};
    } else {
      text = {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
              static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    }
    ASSERT_EQ(gbkToUtf8(utf8ToGbk(text)), text) << std::hex << cp;
  }
  // Broken UTF-8, surrogates and U+FFFD become "?", one for each; bytes no character has,
  // U+FFFD.
  EXPECT_EQ(utf8ToGbk("a\xE4\xB8"
                      "b\xED\xA0\x80"
                      "c\xFF\uFFFD"),
            "a?b?c??");
  EXPECT_EQ(gbkToUtf8("\x81\x30z\xFE\x39\xFE\x39"),
            "\xEF\xBF\xBD"
            "0z\xEF\xBF\xBD"
            "9\xEF\xBF\xBD"
            "9");
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
  // A pipe by the file's name fails at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);
  EXPECT_THROW(files.openForReading(folder.file("pipe.txt")), PlatformFailure);
  EXPECT_THROW(files.copyFile(folder.file("pipe.txt"), folder.file("copy.txt")), PlatformFailure);
  std::filesystem::remove(folder.file("pipe.txt"));
  std::filesystem::create_directory(folder.file("sub"));
  std::ofstream(folder.file("b.asx")) << "x";
  std::ofstream(folder.file("a.htm")) << "x";
  auto entries = files.listFiles(folder.path());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "a.htm");
  EXPECT_EQ(entries[0].path, folder.file("a.htm"));
}

std::vector<std::string> readLines(TextFileService& files, const std::string& path) {
  auto reader = files.openForReading(path);
  std::vector<std::string> lines;
  while (!reader->atEndOfStream()) lines.push_back(reader->readLine());
  return lines;
}

// Whether the file system of folder offers files without a name (O_TMPFILE).
bool unnamedFilesWork(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR, 0600);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

// Long lines shortened to their length and their end, so that a failure reads well.
std::vector<std::string> shortened(std::vector<std::string> lines) {
  for (std::string& line : lines) {
    if (line.size() > 40)
      line = std::to_string(line.size()) + " bytes ending " + line.substr(line.size() - 6);
  }
  return lines;
}

size_t entriesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(TextFiles, ALineEndOrACharacterAcrossTwoReadsCountsOnce) {
  const std::string full(kReadChunkBytes - 1, 'x');  // one byte short of the first read
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {full + "\r\nb", {full, "b"}},
      {full + "\r\n", {full}},
      {full + "\r\r\n", {full, ""}},
      {full + "\n\r\nb", {full, "", "b"}},
      {full + "\xD6\xD0\r\n", {full + "中"}},
      {full + "\xD6", {full + "\uFFFD"}},
      {"a\r\n" + std::string(kReadChunkBytes * 2 - 4, 'y') + "\r\n",
       {"a", std::string(kReadChunkBytes * 2 - 4, 'y')}},
  };
  TempFolder folder;
  GbkTextFiles files;
  for (const Case& test : cases) {
    std::ofstream(folder.file("f.txt"), std::ios::binary | std::ios::trunc) << test.bytes;
    EXPECT_EQ(shortened(readLines(files, folder.file("f.txt"))), shortened(test.lines))
        << "case " << (&test - cases);
  }

  std::ofstream(folder.file("f.txt"), std::ios::binary | std::ios::trunc)
      << full << "\r\nb\xD6\xD0\r\nrest";
  auto reader = files.openForReading(folder.file("f.txt"));
  EXPECT_TRUE(reader->readLineAndBytes().bytes == full);
  EXPECT_FALSE(reader->atEndOfLine());
  EXPECT_EQ(reader->readLine(), "b中");
  EXPECT_EQ(reader->readAll(), "rest");
}

TEST(TextFiles, LinesInAnyEncodingGoBackByteForByte) {
  TempFolder folder;
  GbkTextFiles files;
  const std::string utf8 = "中央台,mms://x,";
  const std::string stray = "A\xFF\x80\xD6";  // a byte of no character, the euro, a lone lead
  std::ofstream(folder.file("in.txt"), std::ios::binary) << utf8 << "\n" << stray << "\r\n";

  auto reader = files.openForReading(folder.file("in.txt"));
  FileLine first = reader->readLineAndBytes();
  FileLine second = reader->readLineAndBytes();
  EXPECT_TRUE(reader->atEndOfStream());
  EXPECT_EQ(first.bytes, utf8);
  EXPECT_EQ(first.text, gbkToUtf8(utf8));
  EXPECT_EQ(second.bytes, stray);
  EXPECT_EQ(second.text, "A\uFFFD\u20AC\uFFFD");

  auto writer = files.createTextFile(folder.file("out.txt"));
  writer->writeBytesLine(first.bytes);
  writer->writeBytesLine(second.bytes);
  writer->writeLine(second.text);
  writer->close();
  EXPECT_EQ(fileBytes(folder.file("out.txt")), utf8 + "\r\n" + stray + "\r\nA?\x80?\r\n");
}

// Replaces path the way the system does, through a writer or a copy.
enum class Replace { Write, Copy };
void replaceFile(GbkTextFiles& files, Replace how, const std::string& path,
                 const std::string& line) {
  if (how == Replace::Write) {
    auto writer = files.createTextFile(path);
    writer->writeLine(line);
    writer->close();
  } else {
    const std::string source = path + "-source";
    std::ofstream(source, std::ios::binary) << line << "\r\n";
    struct RemoveSource {
      std::string path;
      ~RemoveSource() { std::filesystem::remove(path); }
    } removeSource{source};
    files.copyFile(source, path);
  }
}

mode_t modeOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode;
}

struct ReplacementKinds : ::testing::TestWithParam<std::tuple<TempFileKind, Replace>> {
  GbkTextFiles files{std::get<0>(GetParam())};
  Replace how = std::get<1>(GetParam());
  TempFolder folder;
};

TEST_P(ReplacementKinds, TheNewFileKeepsTheOldOnesPermissionsOwnerAndLinks) {
  for (mode_t mode : {0644, 0600, 0640, 0664, 0755, 0200}) {
    const std::string path = folder.file("lib.txt");
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), mode);
    replaceFile(files, how, path, "new");
    EXPECT_EQ(fileBytes(path), "new\r\n");
    EXPECT_EQ(modeOf(path) & 07777, mode) << std::oct << mode;
  }
  EXPECT_EQ(entriesIn(folder.path()), 1u);

  if (::geteuid() == 0) {
    ::chown(folder.file("lib.txt").c_str(), 4242, 4343);
    replaceFile(files, how, folder.file("lib.txt"), "owned");
    struct stat info {};
    ::stat(folder.file("lib.txt").c_str(), &info);
    EXPECT_EQ(info.st_uid, 4242u);
    EXPECT_EQ(info.st_gid, 4343u);
  }

  // Through a relative link into another folder: the file there is replaced beside itself,
  // and the link stays a link.
  std::filesystem::create_directory(folder.file("real"));
  std::ofstream(folder.file("real/lib.txt")) << "old";
  ::chmod(folder.file("real/lib.txt").c_str(), 0604);
  std::filesystem::create_symlink("real/lib.txt", folder.file("link.txt"));
  std::filesystem::create_symlink("link.txt", folder.file("link2.txt"));
  replaceFile(files, how, folder.file("link2.txt"), "through the links");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.txt")));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link2.txt")));
  EXPECT_EQ(fileBytes(folder.file("real/lib.txt")), "through the links\r\n");
  EXPECT_EQ(modeOf(folder.file("real/lib.txt")) & 07777, 0604u);
  EXPECT_EQ(entriesIn(folder.file("real")), 1u);

  // A link to a file that is not there yet creates it.
  std::filesystem::create_symlink("real/new.txt", folder.file("dangling.txt"));
  replaceFile(files, how, folder.file("dangling.txt"), "created");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("dangling.txt")));
  EXPECT_EQ(fileBytes(folder.file("real/new.txt")), "created\r\n");
}

TEST_P(ReplacementKinds, AMissingFileGetsThePermissionsOfTheUmask) {
  for (mode_t mask : {022, 077, 002}) {
    const mode_t old = ::umask(mask);
    const std::string path = folder.file("new" + std::to_string(mask));
    replaceFile(files, how, path, "x");
    ::umask(old);
    EXPECT_EQ(modeOf(path) & 07777, 0666 & ~mask) << std::oct << mask;
  }
}

TEST_P(ReplacementKinds, AReadOnlyFileIsLeftAloneAndTheReplacementFails) {
  struct Case {
    const char* what;
    mode_t mode;
    bool immutable;
  } cases[] = {{"no write bits", 0444, false},
               {"no bits at all", 0000, false},
               {"owner read only", 0400, false},
               {"immutable", 0644, true}};
  for (const Case& test : cases) {
    const std::string path = folder.file("ro.txt");
    std::ofstream(path) << "keep";
    ::chmod(path.c_str(), test.mode);
    if (test.immutable && std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) != 0)
      continue;
    EXPECT_THROW(replaceFile(files, how, path, "lost"), PlatformFailure) << test.what;
    if (test.immutable) (void)std::system(("chattr -i '" + path + "'").c_str());
    EXPECT_EQ(fileBytes(path), "keep") << test.what;
    EXPECT_EQ(modeOf(path) & 07777, test.mode) << test.what;
    EXPECT_EQ(entriesIn(folder.path()), 1u) << test.what;
    std::filesystem::remove(path);
  }

  // Through a link, too; and a folder where the file should be is no file to replace.
  std::ofstream(folder.file("ro.txt")) << "keep";
  ::chmod(folder.file("ro.txt").c_str(), 0444);
  std::filesystem::create_symlink("ro.txt", folder.file("link.txt"));
  EXPECT_THROW(replaceFile(files, how, folder.file("link.txt"), "lost"), PlatformFailure);
  EXPECT_EQ(fileBytes(folder.file("ro.txt")), "keep");
  std::filesystem::create_directory(folder.file("dir.txt"));
  EXPECT_THROW(replaceFile(files, how, folder.file("dir.txt"), "lost"), PlatformFailure);
}

INSTANTIATE_TEST_SUITE_P(
    TextFiles, ReplacementKinds,
    ::testing::Combine(::testing::Values(TempFileKind::UnnamedWhereSupported, TempFileKind::Named),
                       ::testing::Values(Replace::Write, Replace::Copy)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param) == TempFileKind::Named ? "Named" : "Unnamed") +
             (std::get<1>(info.param) == Replace::Write ? "Write" : "Copy");
    });

TEST(TextFiles, AFileBeingWrittenHasNoNameUntilItReplacesTheOldOne) {
  TempFolder folder;
  std::ofstream(folder.file("lib.txt")) << "old";
  for (TempFileKind kind : {TempFileKind::UnnamedWhereSupported, TempFileKind::Named}) {
    GbkTextFiles files(kind);
    auto writer = files.createTextFile(folder.file("lib.txt"));
    for (int i = 0; i < 10000; ++i) writer->writeLine("a line of the new library");
    // Only where the file system has no unnamed files does the new one show up while written.
    const size_t whileWriting = entriesIn(folder.path());
    const bool unnamed = kind != TempFileKind::Named && unnamedFilesWork(folder.path());
    EXPECT_EQ(whileWriting, unnamed ? 1u : 2u);
    writer.reset();
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    EXPECT_EQ(fileBytes(folder.file("lib.txt")), "old");
  }
}

}  // namespace
}  // namespace zelvo::test
