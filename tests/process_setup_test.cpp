// The window's process set-up: the heap, the Qt platform and the browser's flags are each set
// once, and whatever the user set in the environment stays as it is.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/ProcessSetup.h"

namespace {

// The allocator's settings asked for while a test records them; not passed on then.
std::vector<std::pair<int, int>>* heapSettings = nullptr;

}  // namespace

extern "C" int mallopt(int parameter, int value) {
  if (heapSettings) {
    heapSettings->emplace_back(parameter, value);
    return 1;
  }
  static auto* real = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "mallopt"));
  return real ? real(parameter, value) : 0;
}

namespace zelvo::test {
namespace {

using Environment = std::map<std::string, std::string>;
using HeapSettings = std::vector<std::pair<int, int>>;

constexpr const char* kVariables[] = {"MALLOC_ARENA_MAX",
                                      "MALLOC_MMAP_THRESHOLD_",
                                      "GLIBC_TUNABLES",
                                      "WAYLAND_DISPLAY",
                                      "DISPLAY",
                                      "QT_QPA_PLATFORM",
                                      "QT_QUICK_BACKEND",
                                      "QTWEBENGINE_CHROMIUM_FLAGS",
                                      "QTWEBENGINE_DISABLE_SANDBOX"};
constexpr const char* kQuiet =
    "--disable-background-networking --disable-component-update --no-first-run";

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

TEST(ProcessSetup, TheWindowsProcessIsSetOnceAndKeepsWhatTheUserChose) {
  const HeapSettings ours{{M_ARENA_MAX, 1}, {M_MMAP_THRESHOLD, 256 * 1024}};
  const struct Case {
    const char* name;
    Environment given;
    HeapSettings heap;     // expected, in order
    Environment expected;  // of the variables, after ("" for unset)
  } cases[] = {
      {"nothing chosen",
       {},
       ours,
       {{"QT_QPA_PLATFORM", ""},
        {"QT_QUICK_BACKEND", "software"},
        {"QTWEBENGINE_CHROMIUM_FLAGS", kQuiet}}},
      {"the user's heaps", {{"MALLOC_ARENA_MAX", "4"}}, {{M_MMAP_THRESHOLD, 256 * 1024}}, {}},
      {"the user's tunables",
       {{"GLIBC_TUNABLES", "glibc.malloc.arena_max=2:glibc.malloc.mmap_threshold=65536"}},
       {},
       {}},
      {"the user's threshold, an unrelated tunable",
       {{"MALLOC_MMAP_THRESHOLD_", "65536"}, {"GLIBC_TUNABLES", "glibc.malloc.check=0"}},
       {{M_ARENA_MAX, 1}},
       {}},
      {"a Wayland session goes through XWayland",
       {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":5"}},
       ours,
       {{"QT_QPA_PLATFORM", "xcb"}}},
      {"the user's platform and renderer",
       {{"WAYLAND_DISPLAY", "wayland-0"},
        {"DISPLAY", ":5"},
        {"QT_QPA_PLATFORM", "wayland"},
        {"QT_QUICK_BACKEND", "rhi"}},
       ours,
       {{"QT_QPA_PLATFORM", "wayland"}, {"QT_QUICK_BACKEND", "rhi"}}},
      {"the user's browser flags come first, ours once",
       {{"QTWEBENGINE_CHROMIUM_FLAGS", " --lang=zh-CN "}},
       ours,
       {{"QTWEBENGINE_CHROMIUM_FLAGS", std::string("--lang=zh-CN ") + kQuiet}}},
      {"flags that hold ours already",
       {{"QTWEBENGINE_CHROMIUM_FLAGS", std::string(kQuiet) + " --lang=zh-CN"}},
       ours,
       {{"QTWEBENGINE_CHROMIUM_FLAGS", std::string(kQuiet) + " --lang=zh-CN"}}},
  };
  std::map<std::string, std::optional<std::string>> saved;
  for (const char* name : kVariables) saved[name] = variable(name);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : kVariables) unsetenv(name);
    for (const auto& [name, value] : c.given) setenv(name.c_str(), value.c_str(), 1);
    HeapSettings heap;
    heapSettings = &heap;
    prepareWindowEnvironment();
    heapSettings = nullptr;
    EXPECT_EQ(heap, c.heap);
    for (const auto& [name, value] : c.expected)
      EXPECT_EQ(variable(name.c_str()).value_or(""), value) << name;
    for (const auto& [name, value] : c.given) {
      if (!c.expected.count(name)) {
        EXPECT_EQ(variable(name.c_str()), value) << name;
      }
    }
  }
  for (const auto& [name, value] : saved)
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
}

}  // namespace
}  // namespace zelvo::test
