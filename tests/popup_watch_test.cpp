// The pop-up watch: every 50 ms it closes the application's active pop-up when its title names a
// log-in, update or contact prompt, and shows the active window's title in the status line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"
#include "playback/PopupWatch.h"

using ::testing::ElementsAre;

namespace zelvo::test {
namespace {

TEST(PopupWatch, TitlesThatAreDismissed) {
  struct Case {
    std::string title;
    bool dismissed;
  } cases[] = {
      {"Contacting server...", true},
      {"AUTOUPDATE available", true},
      {"Please CONTACT us", true},
      {"Enter User Name and Password", true},
      {"username and password", false},
      {"User Name andPassword", false},
      {"Connect", false},
      {"Zelvo ver 3.5", false},
      {"联系 contact 我们", true},
      {"", false},
  };
  for (const auto& test : cases)
    EXPECT_EQ(isDismissedTitle(test.title), test.dismissed) << test.title;
}

class PopupWatchTest : public ::testing::Test {
 protected:
  PopupWatchTest() {
    h.window->StartUp();
    main = h.windows.open("Zelvo ver 3.5");
    h.windows.active = main;
  }
  WindowHarness h;
  WindowHandle main = 0;
};

TEST_F(PopupWatchTest, ThePromptIsClosedWithinOneTickAndItsTitleShown) {
  h.loop.advance(50);
  EXPECT_EQ(h.c.l.caption(), "Zelvo ver 3.5");
  const WindowHandle connect = h.windows.open("Connect", main);
  h.loop.advance(50);
  EXPECT_TRUE(h.windows.isOpen(connect));
  EXPECT_EQ(h.c.l.caption(), "Connect");
  const WindowHandle update = h.windows.open("AutoUpdate", main);
  h.loop.advance(50);
  EXPECT_FALSE(h.windows.isOpen(update));
  EXPECT_EQ(h.c.l.caption(), "AutoUpdate");
  h.loop.advance(50);
  EXPECT_EQ(h.c.l.caption(), "Connect");  // the pop-up active before it
}

TEST_F(PopupWatchTest, APromptThatRefusesToCloseIsAskedAgainEveryTick) {
  const WindowHandle login = h.windows.open("User Name and Password", main, true);
  h.log.clear();
  h.loop.advance(150);
  const std::string request = "close " + std::to_string(login);
  EXPECT_THAT(h.log.calls(), ElementsAre(request, request, request));
  EXPECT_TRUE(h.windows.isOpen(login));
}

TEST_F(PopupWatchTest, WithNoActiveWindowNothingIsClosedAndTheStatusLineIsBlank) {
  h.windows.open("Contacting", main);
  h.windows.active = 0;
  h.log.clear();
  h.loop.advance(50);
  EXPECT_TRUE(h.log.calls().empty());
  EXPECT_EQ(h.c.l.caption().find_first_not_of(' '), std::string::npos);
}

}  // namespace
}  // namespace zelvo::test
