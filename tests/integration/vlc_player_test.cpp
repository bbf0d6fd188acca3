// The libVLC player against clips served on loopback: the states and errors its callers
// see for good streams, playlists, and servers that fail in each way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/vlc/VlcAddress.h"
#include "platform/vlc/VlcPrompt.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/TempFolder.h"

namespace zelvo {
namespace {

using test::LoopbackHttpServer;
using vlc::ClassifiedAddress;

constexpr int kBoundMs = 20000;

// What a caller of the player observes.
struct Observed {
  std::vector<int> states;
  int errorsRaised = 0;
  std::vector<std::pair<double, double>> moves;
};

class VlcPlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder();
    clip_ = test::makeClip(folder_->path(), 3);
    shortClip_ = test::makeClip(folder_->path(), 1);
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  std::unique_ptr<VlcWindowsMediaPlayer> makePlayer(int watchdogMs = 15000) {
    VlcPlayerOptions options;
    options.watchdogMs = watchdogMs;
    // No screen and no sound card under test.
    options.engineArguments = {"--vout=dummy", "--aout=dummy"};
    auto player = std::make_unique<VlcWindowsMediaPlayer>(options);
    player->playStateChange.connect([this](int state) { seen_.states.push_back(state); });
    player->error.connect([this] { ++seen_.errorsRaised; });
    player->positionChange.connect(
        [this](double from, double to) { seen_.moves.emplace_back(from, to); });
    return player;
  }

  bool reaches(const VlcWindowsMediaPlayer& player, int state, int timeoutMs = kBoundMs) {
    return test::waitUntil([&] { return player.playState() == state; }, timeoutMs);
  }

  static test::TempFolder* folder_;
  static std::string clip_;
  static std::string shortClip_;
  Observed seen_;
};

test::TempFolder* VlcPlayerTest::folder_ = nullptr;
std::string VlcPlayerTest::clip_;
std::string VlcPlayerTest::shortClip_;

TEST(VlcAddressTest, SortsAddressesBeforeTheEngineSeesThem) {
  using Kind = ClassifiedAddress::Kind;
  struct Case {
    std::string address;
    Kind kind;
    std::string scheme;
  };
  const std::vector<Case> cases = {
      {"", Kind::Invalid, ""},
      {"   ", Kind::Invalid, ""},
      {"x://", Kind::Invalid, ""},
      {"://host/a", Kind::Invalid, ""},
      {"just words", Kind::Invalid, ""},
      {"relative/clip.ts", Kind::Invalid, ""},
      {"1http://host/a", Kind::Invalid, ""},
      {"http://host/a\nb", Kind::Invalid, ""},
      {"/srv/tv/clip.ts", Kind::LocalPath, ""},
      {"  http://host:8080/live  ", Kind::Location, "http"},
      {"HTTP://host/a", Kind::Location, "http"},
      {"mms://host/a", Kind::Location, "mms"},
      {"mmsh://host/a", Kind::Location, "mmsh"},
      {"udp://@239.0.0.1:1234", Kind::Location, "udp"},
      {"file:///srv/tv/clip.ts", Kind::Location, "file"},
      {"foo://x", Kind::Unsupported, "foo"},
      {"rtsp://host/a", Kind::Unsupported, "rtsp"},
  };
  for (const auto& c : cases) {
    const ClassifiedAddress classified = vlc::classifyAddress(c.address);
    EXPECT_EQ(classified.kind, c.kind) << '"' << c.address << '"';
    if (c.kind != Kind::Invalid) {
      EXPECT_EQ(classified.scheme, c.scheme) << c.address;
    }
  }
  EXPECT_EQ(vlc::classifyAddress("  http://host/a ").address, "http://host/a");
  EXPECT_EQ(vlc::classifyAddress("rtsp://host/a", true).kind, Kind::Location);
}

TEST(VlcAddressTest, ReadsTheFailureReasonFromTheEngineLog) {
  // Lines as libVLC 3 logs them for each failure.
  EXPECT_EQ(
      vlc::errorCodeFromLog({"connection failed: Connection refused",
                             "cannot connect to 127.0.0.1:4000", "Your input can't be opened"}),
      WmpError::ServerNotFound);
  EXPECT_EQ(vlc::errorCodeFromLog({"HTTP 404 error", "connection succeeded (socket = 3)",
                                   "error: HTTP/1.1 404 Not Found", "cannot connect to x"}),
            WmpError::FileNotFound);
  EXPECT_EQ(
      vlc::errorCodeFromLog({"cannot resolve nowhere.invalid port 80 : Name or service not known"}),
      WmpError::ServerNotFound);
  EXPECT_EQ(vlc::errorCodeFromLog({"Your input can't be opened"}), WmpError::Generic);
  EXPECT_EQ(vlc::errorCodeFromLog({}), WmpError::Generic);
}

TEST(VlcAddressTest, FormatsDurations) {
  EXPECT_EQ(vlc::durationText(0), "");
  EXPECT_EQ(vlc::durationText(-1), "");
  EXPECT_EQ(vlc::durationText(3000), "00:03");
  EXPECT_EQ(vlc::durationText(2600), "00:03");
  EXPECT_EQ(vlc::durationText(59 * 60000 + 59000), "59:59");
  EXPECT_EQ(vlc::durationText(3725000), "62:05");
}

TEST_F(VlcPlayerTest, StartsReadyAndReportsItsVersion) {
  auto player = makePlayer();
  EXPECT_EQ(player->playState(), WmpState::Ready);
  const std::string version = player->versionInfo();
  int major = 0;
  ASSERT_EQ(std::sscanf(version.c_str(), "%d.", &major), 1) << version;
  EXPECT_GE(major, 9) << version;
  EXPECT_EQ(player->durationString(), "");
  EXPECT_EQ(player->sourceURL(), "");
  EXPECT_NE(player->widget(), nullptr);
}

TEST_F(VlcPlayerTest, ClipOverHttpPlaysAndEnds) {
  LoopbackHttpServer server(folder_->path());
  auto player = makePlayer();
  const std::string address = server.url(clip_);
  QElapsedTimer clock;
  clock.start();
  player->setURL(address);
  EXPECT_EQ(player->URL(), address);
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  std::printf("[ measured ] setURL to playing: %lld ms\n", static_cast<long long>(clock.elapsed()));
  EXPECT_EQ(player->sourceURL(), address);
  // libVLC learns no length for MPEG-TS over HTTP; unknown must read as empty.
  EXPECT_TRUE(player->durationString().empty() || player->durationString() == "00:03")
      << player->durationString();
  ASSERT_TRUE(reaches(*player, WmpState::MediaEnded));
  EXPECT_EQ(seen_.errorsRaised, 0);
  EXPECT_EQ(player->errorCount(), 0);

  // Opening shows before playing, playing before the end, and each change is raised once.
  const auto playing = std::find(seen_.states.begin(), seen_.states.end(), WmpState::Playing);
  ASSERT_NE(playing, seen_.states.end());
  ASSERT_NE(playing, seen_.states.begin());
  EXPECT_TRUE(*seen_.states.begin() == WmpState::Transitioning ||
              *seen_.states.begin() == WmpState::Buffering);
  EXPECT_EQ(seen_.states.back(), WmpState::MediaEnded);
  EXPECT_EQ(std::adjacent_find(seen_.states.begin(), seen_.states.end()), seen_.states.end());

  player->close();
  EXPECT_EQ(player->playState(), WmpState::Ready);
  EXPECT_EQ(player->URL(), address);
}

TEST_F(VlcPlayerTest, LocalFileAndControlsFollowTheCaller) {
  auto player = makePlayer();
  player->setURL(folder_->file(clip_));
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  EXPECT_TRUE(test::waitUntil([&] { return player->durationString() == "00:03"; }, 2000))
      << player->durationString();
  EXPECT_EQ(player->sourceURL(), folder_->file(clip_));
  player->pause();
  ASSERT_TRUE(reaches(*player, WmpState::Paused));
  player->play();
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  player->stop();
  EXPECT_EQ(player->playState(), WmpState::Stopped);
  test::processEventsFor(300);
  EXPECT_EQ(player->playState(), WmpState::Stopped) << "a late event of the stopped stream";
  player->play();
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  player->close();
  EXPECT_EQ(player->playState(), WmpState::Ready);
  EXPECT_EQ(player->sourceURL(), "");
  test::processEventsFor(300);
  EXPECT_EQ(player->playState(), WmpState::Ready);
  EXPECT_EQ(seen_.errorsRaised, 0);
}

TEST_F(VlcPlayerTest, PlayCountRepeatsAClipThatEnds) {
  auto player = makePlayer();
  player->setPlayCount(2);
  player->setURL(folder_->file(shortClip_));
  ASSERT_TRUE(reaches(*player, WmpState::MediaEnded));
  EXPECT_EQ(std::count(seen_.states.begin(), seen_.states.end(), WmpState::Playing), 2);
  EXPECT_EQ(std::count(seen_.states.begin(), seen_.states.end(), WmpState::MediaEnded), 1);
  EXPECT_EQ(seen_.errorsRaised, 0);
}

TEST_F(VlcPlayerTest, FailuresRaiseTheErrorEventWithAQueuedError) {
  LoopbackHttpServer server(folder_->path());
  struct Case {
    std::string what;
    std::string address;
    int32_t code;
  };
  const std::vector<Case> cases = {
      {"refused port", "http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/clip.ts",
       WmpError::ServerNotFound},
      {"missing file", server.url("no-such-clip.ts"), WmpError::FileNotFound},
      {"unknown scheme", "foo://x", WmpError::UnsupportedProtocol},
      {"rtsp without a client", "rtsp://127.0.0.1:1/x", WmpError::UnsupportedProtocol},
      {"empty address", "", WmpError::InvalidAddress},
      {"malformed address", "not an address", WmpError::InvalidAddress},
      {"scheme without anything", "http://", WmpError::InvalidAddress},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    seen_ = {};
    auto player = makePlayer();
    player->setURL(c.address);
    ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
    test::processEventsFor(200);
    EXPECT_EQ(seen_.errorsRaised, 1);
    ASSERT_EQ(player->errorCount(), 1);
    EXPECT_EQ(player->errorItem(0).code, c.code);
    EXPECT_FALSE(player->errorItem(0).description.empty());
    EXPECT_NE(player->playState(), WmpState::Playing);
    EXPECT_EQ(std::count(seen_.states.begin(), seen_.states.end(), WmpState::Playing), 0);
    EXPECT_THROW(player->errorItem(1), PlatformFailure);
    EXPECT_THROW(player->errorItem(-1), PlatformFailure);
    player->clearErrorQueue();
    EXPECT_EQ(player->errorCount(), 0);
  }
}

TEST_F(VlcPlayerTest, AFailureRaisesTheErrorBeforeTheReadyStateAndCloseForgetsIt) {
  auto player = makePlayer();
  std::vector<std::string> order;
  player->playStateChange.connect([&](int state) { order.push_back(std::to_string(state)); });
  player->error.connect([&] { order.push_back("error"); });
  player->setURL("http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/x.ts");
  ASSERT_TRUE(test::waitUntil([&] { return player->playState() == WmpState::Ready; }, kBoundMs));
  test::processEventsFor(200);
  ASSERT_GE(order.size(), 2u);
  EXPECT_EQ(order[order.size() - 2], "error");
  EXPECT_EQ(order.back(), std::to_string(WmpState::Ready));

  // Closing leaves no error behind for a later error reaction to act on.
  EXPECT_EQ(player->errorCount(), 1);
  player->close();
  EXPECT_EQ(player->errorCount(), 0);
}

TEST_F(VlcPlayerTest, ServerThatNeverAnswersEndsInATimeout) {
  LoopbackHttpServer silent(folder_->path(), LoopbackHttpServer::Mode::Silent);
  auto player = makePlayer(3000);
  player->setURL(silent.url(clip_));
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, 3000 + kBoundMs));
  ASSERT_EQ(player->errorCount(), 1);
  EXPECT_EQ(player->errorItem(0).code, WmpError::Timeout);
  EXPECT_NE(player->playState(), WmpState::Playing);
}

TEST_F(VlcPlayerTest, NextAddressIsNotMarkedByTheFailureOfThePrevious) {
  LoopbackHttpServer server(folder_->path());
  auto player = makePlayer();
  player->setURL(server.url("no-such-clip.ts"));
  player->setURL(server.url(clip_));
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  EXPECT_EQ(seen_.errorsRaised, 0);

  // And the other way round: a good stream left at once leaves nothing behind.
  player->setURL("http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/x.ts");
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
  test::processEventsFor(500);
  EXPECT_EQ(seen_.errorsRaised, 1);
  EXPECT_EQ(player->errorItem(0).code, WmpError::ServerNotFound);
  EXPECT_NE(player->playState(), WmpState::Playing);
}

TEST_F(VlcPlayerTest, AsxPlaylistsPlayTheirEntry) {
  LoopbackHttpServer server(folder_->path());
  const std::string entry = server.url(clip_);
  const std::string asx = test::makeAsx(folder_->path(), "station.asx", entry);
  for (const std::string& address : {folder_->file(asx), server.url(asx)}) {
    SCOPED_TRACE(address);
    seen_ = {};
    auto player = makePlayer();
    player->setURL(address);
    ASSERT_TRUE(reaches(*player, WmpState::Playing));
    EXPECT_EQ(player->sourceURL(), entry);
    EXPECT_EQ(player->URL(), address);
    EXPECT_EQ(std::count(seen_.states.begin(), seen_.states.end(), WmpState::MediaEnded), 0);
    EXPECT_EQ(seen_.errorsRaised, 0);
  }
}

TEST_F(VlcPlayerTest, EventsArriveAfterTheCallThatCausedThem) {
  auto player = makePlayer();
  bool insideCall = false;
  int raisedInside = 0;
  player->playStateChange.connect([&](int state) {
    seen_.states.push_back(state);
    if (insideCall) ++raisedInside;
  });
  player->error.connect([&] {
    ++seen_.errorsRaised;
    if (insideCall) ++raisedInside;
  });
  const auto call = [&](auto&& body) {
    insideCall = true;
    body();
    insideCall = false;
  };

  call([&] { player->setURL("not an address"); });
  EXPECT_TRUE(seen_.states.empty()) << "a state change was raised inside setURL";
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
  // Transitioning first, then Ready with the error, in the order they happened.
  EXPECT_EQ(seen_.states, (std::vector<int>{WmpState::Transitioning, WmpState::Ready}));

  call([&] { player->setURL(folder_->file(clip_)); });
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  for (auto step :
       {+[](VlcWindowsMediaPlayer& p) { p.pause(); }, +[](VlcWindowsMediaPlayer& p) { p.stop(); },
        +[](VlcWindowsMediaPlayer& p) { p.play(); },
        +[](VlcWindowsMediaPlayer& p) { p.close(); }}) {
    const size_t before = seen_.states.size();
    call([&] { step(*player); });
    EXPECT_EQ(seen_.states.size(), before);
    test::processEventsFor(300);
  }
  EXPECT_EQ(raisedInside, 0);
  EXPECT_EQ(seen_.states.back(), WmpState::Ready);
}

TEST_F(VlcPlayerTest, AfterAFailureNothingIsLoaded) {
  auto player = makePlayer();
  player->setURL("http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/x.ts");
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
  test::processEventsFor(200);
  ASSERT_EQ(player->playState(), WmpState::Ready);
  const size_t statesAtFailure = seen_.states.size();
  player->stop();
  player->play();
  player->pause();
  test::processEventsFor(1500);
  EXPECT_EQ(seen_.states.size(), statesAtFailure) << "the failed address was acted on again";
  EXPECT_EQ(player->playState(), WmpState::Ready);
  EXPECT_EQ(player->sourceURL(), "");
  EXPECT_EQ(player->durationString(), "");
  EXPECT_EQ(seen_.errorsRaised, 1);
}

TEST_F(VlcPlayerTest, ErrorOfAnAddressLeftFromAHandlerIsNeverRaised) {
  auto player = makePlayer();
  std::vector<int> states;
  // A handler of the opening state starts another address before the first one's failure,
  // already on its way, is delivered.
  player->playStateChange.connect([&](int state) {
    states.push_back(state);
    if (state == WmpState::Transitioning && states.size() == 1)
      player->setURL(folder_->file(clip_));
  });
  player->setURL("foo://nothing");
  ASSERT_TRUE(reaches(*player, WmpState::Playing));
  test::processEventsFor(300);
  EXPECT_EQ(seen_.errorsRaised, 0);
  EXPECT_EQ(player->errorCount(), 0);
  EXPECT_EQ(player->sourceURL(), folder_->file(clip_));
}

TEST_F(VlcPlayerTest, StalledServerEndsInATimeout) {
  LoopbackHttpServer stalling(folder_->path(), LoopbackHttpServer::Mode::Stall);
  const std::string longClip = test::makeClip(folder_->path(), 12);
  auto player = makePlayer(3000);
  player->setURL(stalling.url(longClip));
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, 3000 + kBoundMs));
  ASSERT_EQ(player->errorCount(), 1);
  EXPECT_EQ(player->errorItem(0).code, WmpError::Timeout) << player->errorItem(0).description;
  EXPECT_EQ(player->playState(), WmpState::Ready);
}

TEST_F(VlcPlayerTest, StreamCutOffByTheServerEndsInAFailure) {
  LoopbackHttpServer dropping(folder_->path(), LoopbackHttpServer::Mode::Drop);
  const std::string longClip = test::makeClip(folder_->path(), 12);
  auto player = makePlayer(3000);
  player->setURL(dropping.url(longClip));
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, 3000 + kBoundMs));
  EXPECT_NE(std::find(seen_.states.begin(), seen_.states.end(), WmpState::Playing),
            seen_.states.end());
  EXPECT_EQ(std::count(seen_.states.begin(), seen_.states.end(), WmpState::MediaEnded), 0)
      << "a stream cut off looked like one that ended";
  ASSERT_EQ(player->errorCount(), 1);
  EXPECT_EQ(player->playState(), WmpState::Ready);
}

TEST_F(VlcPlayerTest, RtspIsHandedOnAsUnsupported) {
  test::LoopbackRtspServer rtsp;
  auto player = makePlayer();
  player->setURL(rtsp.url());
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
  ASSERT_EQ(player->errorCount(), 1);
  // Debian's libVLC has no RTSP client; the caller hands such addresses to the other player.
  EXPECT_EQ(player->errorItem(0).code, WmpError::UnsupportedProtocol);
  EXPECT_EQ(player->playState(), WmpState::Ready);
}

TEST_F(VlcPlayerTest, LogInPromptIsADialogOfTheWindow) {
  LoopbackHttpServer locked(folder_->path(), LoopbackHttpServer::Mode::Unauthorized);
  QWidget window;
  window.setWindowTitle("main window");
  auto player = makePlayer();
  player->widget()->setParent(&window);
  window.show();
  player->setURL(locked.url(clip_));

  const auto prompts = [] {
    std::vector<QDialog*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
        found.push_back(dialog);
    }
    return found;
  };
  ASSERT_TRUE(test::waitUntil([&] { return !prompts().empty(); }, kBoundMs));
  QDialog* prompt = prompts().front();
  EXPECT_EQ(prompt->parentWidget(), &window);
  // libVLC's own title for an HTTP log-in, with its text and a password field.
  EXPECT_TRUE(prompt->windowTitle().contains("authentication", Qt::CaseInsensitive))
      << prompt->windowTitle().toStdString();
  EXPECT_FALSE(prompt->findChildren<QLineEdit*>().empty());
  EXPECT_EQ(seen_.errorsRaised, 0) << "the stream failed while the prompt was open";

  // A close request, as the pop-up watch sends it, dismisses the prompt. libVLC asks once more
  // from its second HTTP module; the player declines that for the user, so the stream fails.
  prompt->close();
  ASSERT_TRUE(test::waitUntil([&] { return seen_.errorsRaised > 0; }, kBoundMs));
  test::processEventsFor(300);
  EXPECT_TRUE(prompts().empty());
  EXPECT_EQ(seen_.errorsRaised, 1);
  EXPECT_EQ(player->playState(), WmpState::Ready);
  player->widget()->setParent(nullptr);
}

TEST_F(VlcPlayerTest, PromptWithdrawnByTheEngineCloses) {
  LoopbackHttpServer locked(folder_->path(), LoopbackHttpServer::Mode::Unauthorized);
  QWidget window;
  auto player = makePlayer();
  player->widget()->setParent(&window);
  window.show();
  player->setURL(locked.url(clip_));
  const auto openPrompts = [] {
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
      open += qobject_cast<QDialog*>(widget) && widget->isVisible();
    return open;
  };
  ASSERT_TRUE(test::waitUntil([&] { return openPrompts() > 0; }, kBoundMs));
  // Leaving the address stops the engine's wait for a log-in; its prompt goes with it.
  player->close();
  EXPECT_TRUE(test::waitUntil([&] { return openPrompts() == 0; }, kBoundMs));
  player->widget()->setParent(nullptr);
}

TEST(VlcPromptTest, EveryWayOutAnswersExactlyOnce) {
  using Kind = vlc::PromptAnswer::Kind;
  QWidget window;
  struct Case {
    const char* what;
    std::function<void(vlc::VlcPrompt&)> act;
    Kind expected;
  };
  const auto press = [](QWidget& target, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &down);
  };
  const auto button = [](vlc::VlcPrompt& prompt, const QString& text) {
    for (QPushButton* b : prompt.findChildren<QPushButton*>())
      if (b->text() == text) return b;
    return static_cast<QPushButton*>(nullptr);
  };
  const std::vector<Case> cases = {
      {"close request", [](vlc::VlcPrompt& p) { p.close(); }, Kind::Dismiss},
      {"escape", [&](vlc::VlcPrompt& p) { press(p, Qt::Key_Escape); }, Kind::Dismiss},
      {"log-in given",
       [](vlc::VlcPrompt& p) {
         auto fields = p.findChildren<QLineEdit*>();
         fields[1]->setText("secret");
         p.accept();
       },
       Kind::Login},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<vlc::PromptAnswer> answers;
    QPointer<vlc::VlcPrompt> prompt =
        vlc::VlcPrompt::login(&window, "HTTP authentication", "Log in to 127.0.0.1", "viewer", true,
                              [&](const vlc::PromptAnswer& a) { answers.push_back(a); });
    prompt->show();
    EXPECT_EQ(prompt->windowTitle(), "HTTP authentication");
    EXPECT_EQ(prompt->parentWidget(), &window);
    c.act(*prompt);
    test::processEventsFor(50);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kind, c.expected);
    if (c.expected == Kind::Login) {
      EXPECT_EQ(answers[0].user, "viewer");
      EXPECT_EQ(answers[0].password, "secret");
    }
    // Outside a running event loop, deferred deletions wait to be sent.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(prompt.isNull()) << "the prompt stayed";
  }

  // A question answers with the action chosen; the engine's withdrawal answers nothing.
  for (int action : {1, 2}) {
    std::vector<vlc::PromptAnswer> answers;
    QPointer<vlc::VlcPrompt> prompt = vlc::VlcPrompt::question(
        &window, "Insecure site", "Accept the certificate?", "Cancel", "View", "Accept",
        [&](const vlc::PromptAnswer& a) { answers.push_back(a); });
    prompt->show();
    QPushButton* chosen = button(*prompt, action == 1 ? "View" : "Accept");
    ASSERT_NE(chosen, nullptr);
    chosen->click();
    test::processEventsFor(50);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kind, Kind::Action);
    EXPECT_EQ(answers[0].action, action);
  }
  std::vector<vlc::PromptAnswer> answers;
  QPointer<vlc::VlcPrompt> progress =
      vlc::VlcPrompt::progress(&window, "Loading", "Reading the playlist", false, 0.25f, "Stop",
                               [&](const vlc::PromptAnswer& a) { answers.push_back(a); });
  progress->show();
  progress->updateProgress(0.5f, "Half way");
  EXPECT_EQ(progress->findChild<QProgressBar*>()->value(), 500);
  progress->withdraw();
  test::processEventsFor(50);
  EXPECT_TRUE(answers.empty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(progress.isNull());
}

TEST(VlcPlayerWithoutEngineTest, FailsCleanlyWhenTheEngineDoesNotStart) {
  VlcPlayerOptions options;
  options.engineArguments = {"--no-such-option-anywhere"};
  VlcWindowsMediaPlayer player(options);
  EXPECT_THROW(player.versionInfo(), PlatformFailure);
  EXPECT_EQ(player.playState(), WmpState::Ready);
  int raised = 0;
  player.playStateChange.connect([&](int) { ++raised; });
  player.error.connect([&] { ++raised; });
  EXPECT_THROW(player.setURL("http://127.0.0.1:1/x.ts"), PlatformFailure);
  player.play();
  player.pause();
  player.stop();
  player.close();
  player.setPlayCount(3);
  EXPECT_EQ(player.durationString(), "");
  EXPECT_EQ(player.errorCount(), 0);
  EXPECT_NE(player.widget(), nullptr);
  test::processEventsFor(200);
  EXPECT_EQ(raised, 0);
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
