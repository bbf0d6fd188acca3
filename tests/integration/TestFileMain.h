// Every integration test file keeps a main() of its own. Force-included into each of them (by way
// of the precompiled header), this turns that main() into a function registered by file name.
#pragma once

namespace zelvo::test {

// Registers the main() of the test file at path; TestFileMain.cpp runs it by the file's name.
bool registerTestFile(const char* path, int (*fileMain)(int, char**));

}  // namespace zelvo::test

// A function-like macro, so that "main" as a name of anything else stays as it is. It lives in
// the precompiled header rather than on the command line: a command-line definition of main
// voids a precompiled header. "int main(int argc, char** argv) {" becomes an unused internal
// constant, then the file's own static function with its registration, then that function.
#define main(...)                                                        \
  const zelvo_test_file_unused_ [[maybe_unused]] = 0;                    \
  static int zelvo_test_file_main_(__VA_ARGS__);                         \
  [[maybe_unused]] static const bool zelvo_test_file_registered_ =       \
      ::zelvo::test::registerTestFile(__FILE__, &zelvo_test_file_main_); \
  static int zelvo_test_file_main_(__VA_ARGS__)
