// The result files: an append adds a line unless the file already holds the record anywhere,
// keeps the old bytes exactly, and never leaves a file half-written or replaces one it cannot read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

class ResultFilesTest : public ::testing::Test {
 protected:
  ResultFiles& results() { return h.window->resultFiles(); }
  void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(h.path(name), std::ios::binary) << bytes;
  }
  WindowHarness h;
};

TEST_F(ResultFilesTest, AnAppendAddsALineUnlessTheRecordOccursAnywhereInTheFile) {
  results().AppendWebFind("0tvm,mms://a/1,");  // a missing file is created
  results().AppendWebFind("0tvm,mms://a/1,");
  results().AppendWebFind("11tvm,mms://a/9,");
  results().AppendWebFind("1tvm,mms://a/9,");  // inside 11tvm's line: present already
  results().AppendWebFind("2tvm,mms://a/1,");  // the same address under another name
  results().AppendWebFind("");
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_www.txt")),
            "0tvm,mms://a/1,\r\n11tvm,mms://a/9,\r\n2tvm,mms://a/1,\r\n");
  results().AppendScanFind("台,http://x/1,");
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_jg.txt")), "\xcc\xa8,http://x/1,\r\n");  // GBK
}

TEST_F(ResultFilesTest, TheOldBytesStayAsTheyAreWhateverTheirEnding) {
  // A hand-made file without its last line end gets the record on that same line; bytes that
  // are no GBK text survive the rewrite unchanged.
  writeBytes("tv_lib_ss_www.txt", "A,\xff\xfe://1,\r\nB,b://2,");
  results().AppendWebFind("0tvm,mms://c,");
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_www.txt")), "A,\xff\xfe://1,\r\nB,b://2,0tvm,mms://c,\r\n");

  // After the end marker the record is written, though the loader will not show it.
  writeBytes("tv_lib_ss_jg.txt", "A,a,\r\nend\r\n");
  results().AppendScanFind("N,n,");
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_jg.txt")), "A,a,\r\nend\r\nN,n,\r\n");
}

TEST_F(ResultFilesTest, AFileThatCannotBeReadOrReplacedStaysAsItWas) {
  writeBytes("tv_lib_ss_www.txt", "A,a,\r\n");
  h.files.failOn(FileOperation::Read);
  results().AppendWebFind("0tvm,mms://c,");
  h.files.heal();
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_www.txt")), "A,a,\r\n");

  // Failing in the middle of writing leaves the old file whole.
  h.files.failOn(FileOperation::Write, 1);
  results().AppendWebFind("0tvm,mms://c,");
  h.files.heal();
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_www.txt")), "A,a,\r\n");

  ASSERT_EQ(::chmod(h.path("tv_lib_ss_www.txt").c_str(), 0444), 0);
  results().AppendWebFind("0tvm,mms://c,");
  EXPECT_EQ(fileBytes(h.path("tv_lib_ss_www.txt")), "A,a,\r\n");
}

TEST_F(ResultFilesTest, SavingTheScanTextKeepsEveryFindAndAddsTheRecordWhenAbsent) {
  struct Case {
    const char* what;
    const char* before;  // nullptr: no file
    const char* text2;
    const char* after;  // nullptr: no file
  } cases[] = {
      {"present", "A,a,\r\nN,n,\r\nB,b,\r\n", "N,n,", "A,a,\r\nN,n,\r\nB,b,\r\n"},
      {"absent", "A,a,\r\nB,b,\r\n", "N,n,", "A,a,\r\nB,b,\r\nN,n,\r\n"},
      {"inside a longer line", "1N,n,\r\n", "N,n,", "1N,n,\r\nN,n,\r\n"},
      {"after a last line without its end", "A,a,", "N,n,", "A,a,\r\nN,n,\r\n"},
      {"no file", nullptr, "台,n,", "\xcc\xa8,n,\r\n"},
      {"empty Text2", "A,a,\r\n", "", "A,a,\r\n"},
      {"empty Text2, no file", nullptr, "", nullptr},
  };
  const std::string path = h.path("tv_lib_ss_jg.txt");
  for (const Case& test : cases) {
    h.c.Text2.setText(test.text2);  // its change appends it: the file is written after
    std::remove(path.c_str());
    if (test.before) writeBytes("tv_lib_ss_jg.txt", test.before);
    h.c.Check3.userToggled(!h.c.Check3.checked());
    if (test.after) {
      EXPECT_EQ(fileBytes(path), test.after) << test.what;
    } else {
      EXPECT_FALSE(std::ifstream(path).good()) << test.what;
    }
  }

  // A file that cannot be read stays as it is.
  h.c.Text2.setText("N,n,");
  writeBytes("tv_lib_ss_jg.txt", "A,a,\r\n");
  h.files.failOn(FileOperation::Read);
  h.c.Check3.userToggled(false);
  h.files.heal();
  EXPECT_EQ(fileBytes(path), "A,a,\r\n");
}

TEST_F(ResultFilesTest, RestoringTheDefaultsReplacesTheWholeFile) {
  h.writeFile("tv_lib_ss_jg.txt", {"A,a,", "B,b,"});
  results().RestoreScanDefaults();  // no default file: nothing changes
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("A,a,", "B,b,"));
  h.writeFile("tv_lib_ss_jg_y.txt", {"默认,http://d/1,"});
  results().RestoreScanDefaults();
  EXPECT_THAT(h.readFile("tv_lib_ss_jg.txt"), ElementsAre("默认,http://d/1,"));
}

}  // namespace
}  // namespace zelvo::test
