// The one way a module is loaded: the part comes up once, from the module's real entry, with the
// settings given before it was up; a module that cannot be had says why on every use.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/ModuleSlot.h"

namespace zelvo::test {
namespace {

// What the tests' module makes: the number its entry gave, and what happened to it in order.
struct Component {
  int number = 0;
  std::vector<std::string> log;
};

// Points the module folder at the tests' own modules for one test.
class ModuleFolder {
 public:
  ModuleFolder() {
    if (const char* old = std::getenv("ZELVO_MODULE_DIR")) saved_ = old;
    setenv("ZELVO_MODULE_DIR", ZELVO_FAKE_MODULE_DIR, 1);
  }
  ~ModuleFolder() {
    saved_ ? setenv("ZELVO_MODULE_DIR", saved_->c_str(), 1) : unsetenv("ZELVO_MODULE_DIR");
  }

 private:
  std::optional<std::string> saved_;
};

constexpr ModuleName kFake{"fake-module", "zelvoFakeModuleNumber", "the fake"};

TEST(ModuleSlot, ThePartComesUpOnceWithEarlierSettingsOrEveryUseHearsWhyNot) {
  const struct Case {
    const char* name;
    ModuleName module;
    bool preload;
    bool makes;       // whether the make function gives a part
    int made;         // expected: how often the part was asked for
    bool up;          // expected
    std::string why;  // part of the problem heard, when not up
  } cases[] = {
      {"opened on first use", kFake, false, true, 1, true, ""},
      {"preloaded", kFake, true, true, 1, true, ""},
      {"no such file",
       {"no-module", kFake.entry, "the fake"},
       true,
       true,
       0,
       false,
       "no-module.so"},
      {"no such entry",
       {kFake.file, "zelvoElsewhere", "the fake"},
       false,
       true,
       0,
       false,
       "zelvoElsewhere"},
      {"the part is not made", kFake, false, false, 1, false, "the fake did not start"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModuleFolder folder;
    int made = 0;
    std::optional<bool> upWhileMaking;
    ModuleSlot<Component>* slotSeen = nullptr;
    ModuleSlot<Component> slot(c.module, [&](void* entry) -> Component* {
      ++made;
      // A handler that runs while the part is being made finds no part yet.
      upWhileMaking = slotSeen->tryGet() != nullptr;
      if (!c.makes) return nullptr;
      return new Component{reinterpret_cast<int (*)()>(entry)(), {}};
    });
    slotSeen = &slot;
    std::vector<std::string> heard;
    slot.onUnavailable = [&](const std::string& problem) { heard.push_back(problem); };
    slot.onUp = [](Component& component) { component.log.push_back("up"); };
    slot.apply([](Component& component) { component.log.push_back("volume 30"); });
    slot.apply([](Component& component) { component.log.push_back("muted"); });
    if (c.preload) slot.preload();
    EXPECT_FALSE(slot.up());

    Component* first = slot.tryGet();
    Component* second = slot.tryGet();
    ASSERT_EQ(slot.up(), c.up);
    EXPECT_EQ(made, c.made);
    if (made) {
      EXPECT_EQ(upWhileMaking, false);
    }
    if (c.up) {
      ASSERT_EQ(first, second);
      EXPECT_EQ(first->number, 42);
      slot.apply([](Component& component) { component.log.push_back("paused"); });
      EXPECT_EQ(first->log, (std::vector<std::string>{"up", "volume 30", "muted", "paused"}));
      EXPECT_TRUE(heard.empty());
    } else {
      EXPECT_EQ(first, nullptr);
      ASSERT_EQ(heard.size(), 2u) << "each use hears why";
      EXPECT_NE(heard[0].find(c.why), std::string::npos) << heard[0];
      EXPECT_EQ(heard[1], heard[0]);
      EXPECT_THROW(slot.get(), PlatformFailure);
      EXPECT_EQ(unavailable(c.module, heard[0]).rfind("the fake cannot be loaded: ", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace zelvo::test
