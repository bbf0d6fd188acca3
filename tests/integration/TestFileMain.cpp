// The entry of the integration test program: its first argument names a test file, whose own
// main() then runs with the rest, and only the tests of that file run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zelvo::test {
namespace {

// The files' main() functions by file name ("window_test"), filled before main() runs.
std::map<std::string, int (*)(int, char**)>& testFiles() {
  static std::map<std::string, int (*)(int, char**)> files;
  return files;
}

}  // namespace

bool registerTestFile(const char* path, int (*fileMain)(int, char**)) {
  return testFiles().emplace(std::filesystem::path(path).stem().string(), fileMain).second;
}

}  // namespace zelvo::test

namespace {

// Limits the run to the tests written in file (such as "window_test.cpp"): every other test
// joins the negative part of the filter the command line gave.
void keepOnlyTestsOf(const std::string& file) {
  std::string others;
  const testing::UnitTest& all = *testing::UnitTest::GetInstance();
  for (int i = 0; i < all.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *all.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      const testing::TestInfo& test = *suite.GetTestInfo(j);
      const std::string where = test.file() ? test.file() : "";
      if (where == file || where.ends_with("/" + file)) continue;
      others += std::string(others.empty() ? "" : ":") + suite.name() + "." + test.name();
    }
  }
  if (others.empty()) return;
  std::string filter = GTEST_FLAG_GET(filter);
  filter += filter.find('-') == std::string::npos ? "-" : ":";
  GTEST_FLAG_SET(filter, filter + others);
}

}  // namespace

int main(int argc, char** argv) {
  const auto& files = zelvo::test::testFiles();
  const auto chosen = argc > 1 ? files.find(argv[1]) : files.end();
  if (chosen == files.end()) {
    std::fprintf(stderr, "usage: %s TEST_FILE [test options]; the test files:\n", argv[0]);
    for (const auto& file : files) std::fprintf(stderr, "  %s\n", file.first.c_str());
    return 2;
  }
  std::vector<char*> arguments = {argv[0]};
  arguments.insert(arguments.end(), argv + 2, argv + argc);
  arguments.push_back(nullptr);
  int count = argc - 1;
  // Parameterised tests exist only once the test options are read; the file's main() reads
  // them again to no effect.
  testing::InitGoogleTest(&count, arguments.data());
  keepOnlyTestsOf(chosen->first + ".cpp");
  return chosen->second(count, arguments.data());
}
