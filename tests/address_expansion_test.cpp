// Expanding counter templates and list addresses into the address to play.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fakes/WindowHarness.h"
#include "formats/CounterTemplates.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

TEST(AddressExpansion, TemplatesYieldTheirNextNumber) {
  struct Case {
    std::string address, result, lastTemplate;
  } cases[] = {
      {"mms://a/b", "mms://a/b", "mms://a/b"},
      {"mms://a/b%", "mms://a/b%", "mms://a/b%"},
      {"mms://a/ch%05%.asf", "mms://a/ch06.asf", "mms://a/ch%06%.asf"},
      {"x%9%y", "x1y", "x%1%y"},
      {"x%099%", "x100", "x%100%"},
      {"x%99%", "x10", "x%10%"},
      {"x%ab%", "x%ab%", "x%ab%"},
      {"x%%", "x%%", "x%%"},
      {"a%1%b%c", "a2b%c", "a%2%b%c"},
      {"u% 7%", "u08", "u%08%"},
      {"u%2.5%", "u003", "u%003%"},
      {"u%-3%", "u-2", "u%-2%"},
      {"u%2147483647%", "u2147483647", "u%2147483647%"},
      {"u%2147483648%", "u%2147483648%", "u%2147483648%"},
      {"频道%1%台", "频道2台", "频道%2%台"},
      // The request headers after "|" go with every expansion and hold no counter.
      {"http://a/ch%05%.ts|User-Agent=U%2F1", "http://a/ch06.ts|User-Agent=U%2F1",
       "http://a/ch%06%.ts|User-Agent=U%2F1"},
      {"http://a/live|User-Agent=U%2F1&Referer=%31%", "http://a/live|User-Agent=U%2F1&Referer=%31%",
       "http://a/live|User-Agent=U%2F1&Referer=%31%"},
      {"http://a/5%|Referer=%31%", "http://a/5%|Referer=%31%", "http://a/5%|Referer=%31%"},
  };
  for (const auto& test : cases) {
    WindowHarness h;
    EXPECT_EQ(h.window->expansion().ExpandAddress(test.address), test.result) << test.address;
    EXPECT_EQ(h.s.lastTemplate, test.lastTemplate) << test.address;
    if (test.address.find('|') == std::string::npos) continue;
    const bool series = test.result != test.address;
    EXPECT_EQ(isNumberedCounterTemplate(test.address), series) << test.address;
    EXPECT_EQ(isAnyTwoPercentTemplate(test.address), series) << test.address;
  }
  // Where the two rules part: the window's counts any two "%" signs, the commands' a number.
  EXPECT_TRUE(isAnyTwoPercentTemplate("x%ab%"));
  EXPECT_FALSE(isNumberedCounterTemplate("x%ab%"));
}

class ListAddressTest : public ::testing::Test {
 protected:
  ListAddressTest() {
    h.writeFile("tv_lib.txt", {"A,a://0,", "B,b://%3%,", "C,c://2,", "end"});
    h.writeFile("tv_lib_ss_jg.txt", {"Found,f://1,"});
    h.window->StartUp();
  }
  WindowHarness h;
};

TEST_F(ListAddressTest, ListAddressesWalkTheRowsUnchanged) {
  h.c.form1.setHeight(6500);
  // Rows: Found, separator, separator (no www results), A, B, C.
  EXPECT_EQ(h.window->expansion().ExpandAddress("list%0%"), "-------------");
  EXPECT_EQ(h.window->expansion().ExpandAddress("LIST%3%"), "b://%3%");
  EXPECT_EQ(h.c.tvm.text(), "B");
  EXPECT_EQ(h.c.form1.height(), 8000);
  EXPECT_EQ(h.s.lastTemplate, "LIST%4%");
  EXPECT_TRUE(h.messages.shown.empty());

  h.c.tvm.setText("kept");
  EXPECT_EQ(h.window->expansion().ExpandAddress("list%-5%"), "list-4");
  EXPECT_EQ(h.c.tvm.text(), "kept");
  EXPECT_EQ(h.c.tvm.count(), 6);
}

TEST_F(ListAddressTest, TheEndOfAListRunReloadsTheResultsAndSaysSoOnce) {
  std::filesystem::create_directory(h.path("temp"));
  std::ofstream(h.path("temp/pl.asx")) << "<asx/>";
  h.c.Timer8.setEnabled(true);
  h.log.clear();
  EXPECT_EQ(h.window->expansion().ExpandAddress("list%0000005%"), "list0000006");
  EXPECT_THAT(h.rows(), ElementsAre("Found|f://1", "pl|" + h.path("temp/pl.asx")));
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "搜索完毕！");
  EXPECT_EQ(h.messages.shown[0].title, "搜索");
  EXPECT_EQ(h.messages.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(h.c.tvm.text(), "Found");
  EXPECT_EQ(h.c.dz1.text(), "f://1");
  EXPECT_FALSE(h.c.Timer8.enabled());
  EXPECT_TRUE(h.s.playbackStopped);
  // Everything stopped before the message was shown.
  auto calls = h.log.calls();
  auto message = std::find(calls.begin(), calls.end(), "message 搜索完毕！");
  auto close = std::find(calls.begin(), calls.end(), "wmp.close");
  EXPECT_LT(close, message);
}

TEST_F(ListAddressTest, AListRunThatEndsWhileAnotherHandlerClearsTheListDoesNotCrash) {
  h.loop.duringYield([] {});  // the loader's own yield for the single line
  h.loop.duringYield([&] {
    h.c.tvm.clear();
    h.c.dz1.clear();
  });
  h.window->expansion().ExpandAddress("list%9%");
  EXPECT_EQ(h.c.tvm.count(), h.c.dz1.count());
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace zelvo::test
