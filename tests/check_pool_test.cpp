// The station check's pool of players: how many play at once, which engine plays what, the
// second engine's turn, templates, and each station's own time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check/ProbeRoute.h"
#include "check/StationCheck.h"
#include "fakes/CheckHarness.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

namespace zelvo::test {
namespace {

// A check on fake engines, run to its end; records "name verdict", details and times.
struct PoolRun {
  std::vector<std::string> check(std::vector<CheckStation> stations, int jobs = 2,
                                 int timeoutMs = 5000) {
    pool = std::make_unique<StationCheck>(std::move(stations), jobs, timeoutMs, h.environment());
    pool->onVerdict = [this](size_t station, const StationVerdict& verdict) {
      const char* word = verdict.verdict == Verdict::Live   ? "live"
                         : verdict.verdict == Verdict::Dead ? "dead"
                                                            : "template";
      verdicts.push_back(pool->stations()[station].name + " " + word);
      details.push_back(verdict.detail);
      at.push_back(h.loop.now());
    };
    pool->onDone = [this] {
      ++done;
      endedAt = h.loop.now();
    };
    pool->start();
    for (int i = 0; i < 1000 && done == 0; ++i) h.loop.advance(100);
    return verdicts;
  }

  CheckHarness h;
  std::unique_ptr<StationCheck> pool;
  std::vector<std::string> verdicts;
  std::vector<std::string> details;
  std::vector<long> at;
  int done = 0;
  long endedAt = -1;
};

TEST(ProbeRouteTest, AnAsxPlaylistGoesToLibVlcByItsUrlAlone) {
  const struct Case {
    const char* address;
    ProbeEngine first;
  } cases[] = {
      {"http://h/list.asx", ProbeEngine::Vlc},
      {"http://h/list.ASX?x=1#top", ProbeEngine::Vlc},
      {"http://h/list.asx|User-Agent=A%2F1", ProbeEngine::Vlc},
      {"http://h/live.m3u8|Referer=http%3A%2F%2Fsite%2Fx.asx", ProbeEngine::Mpv},
      {"http://h/live.m3u8", ProbeEngine::Mpv},
  };
  for (const Case& c : cases) EXPECT_EQ(firstEngineFor(c.address), c.first) << c.address;
}

std::vector<CheckStation> numbered(int count) {
  std::vector<CheckStation> stations;
  for (int i = 0; i < count; ++i) {
    stations.push_back({"s" + std::to_string(i), "http://h/" + std::to_string(i)});
  }
  return stations;
}

TEST(CheckPoolTest, PlaysAsManyAtOnceAsAskedAndEveryAddressOnce) {
  for (int jobs : {1, 3, 8}) {
    PoolRun run;
    run.h.mpv.otherwise = decodedAfter(1000);
    run.check(numbered(20), jobs);
    EXPECT_EQ(run.verdicts.size(), 20u) << jobs;
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.h.mpv.mostRunning, jobs);
    EXPECT_EQ(run.h.mpv.starts.size(), 20u);
    // 20 stations of one second each, jobs at a time.
    EXPECT_EQ(run.endedAt, (20 + jobs - 1) / jobs * 1000) << jobs;
    EXPECT_EQ(run.h.mpv.probesMade, jobs) << "each slot keeps its player";
  }
}

TEST(CheckPoolTest, AnAddressListedTwiceIsPlayedOnceAndDecidesBothStations) {
  PoolRun run;
  run.h.mpv.answer("http://a", decodedAfter(500));
  run.h.mpv.answer("http://b", deadAfter(200, "refused"));
  EXPECT_THAT(run.check({{"A1", "http://a"}, {"B", "http://b"}, {"A2", "http://a"}}),
              ElementsAre("B dead", "A1 live", "A2 live"));
  EXPECT_THAT(run.h.mpv.starts, ElementsAre("http://a 5000", "http://b 5000"));
  EXPECT_EQ(run.pool->addresses(), 2u);
}

TEST(CheckPoolTest, TemplatesAreReportedFirstAndNeverPlayed) {
  PoolRun run;
  run.h.mpv.otherwise = decodedAfter(100);
  EXPECT_THAT(run.check({{"T", "mms://a/ch%05%.asf"},
                         {"P", "http://plain"},
                         {"L", "list%0%"},
                         {"One", "http://50%off"},
                         {"Encoded", "http://h/%E4%B8%AD.ts"}}),
              ElementsAre("T template", "L template", "P live", "One live", "Encoded live"));
  EXPECT_THAT(run.h.mpv.starts,
              ElementsAre("http://plain 5000", "http://50%off 5000", "http://h/%E4%B8%AD.ts 5000"));
  EXPECT_THAT(run.details[0], HasSubstr("not checked"));
}

TEST(CheckPoolTest, NothingToPlayEndsAtOnce) {
  PoolRun empty;
  EXPECT_THAT(empty.check({}), IsEmpty());
  EXPECT_EQ(empty.endedAt, 0);
  PoolRun templates;
  EXPECT_THAT(templates.check({{"T", "x%1%y"}}), ElementsAre("T template"));
  EXPECT_EQ(templates.endedAt, 0);
  EXPECT_THAT(templates.h.mpv.starts, IsEmpty());
}

TEST(CheckPoolTest, EnginesByAddressAndTheSecondEngineOnlyForWhatTheFirstDidNotUnderstand) {
  struct Case {
    const char* address;
    FakeProbeAnswer mpv;
    FakeProbeAnswer vlc;
    const char* verdict;
    std::vector<std::string> mpvStarts;
    std::vector<std::string> vlcStarts;
  } cases[] = {
      // ASX playlists go to libVLC first, query or not, in any case.
      {"http://h/list.asx",
       neverAnswers(),
       decodedAfter(300),
       "S live",
       {},
       {"http://h/list.asx 5000"}},
      {"http://h/LIST.ASX?id=1",
       neverAnswers(),
       decodedAfter(300),
       "S live",
       {},
       {"http://h/LIST.ASX?id=1 5000"}},
      // A plain address goes to libmpv; dead is dead, with no second opinion.
      {"http://h/a.ts", deadAfter(100), decodedAfter(1), "S dead", {"http://h/a.ts 5000"}, {}},
      // Not understood: libVLC gets what is left of the station's own time.
      {"http://h/b",
       notUnderstoodAfter(1200),
       decodedAfter(100),
       "S live",
       {"http://h/b 5000"},
       {"http://h/b 3800"}},
      {"http://h/c",
       notUnderstoodAfter(1200),
       notUnderstoodAfter(100),
       "S dead",
       {"http://h/c 5000"},
       {"http://h/c 3800"}},
      // An ASX that libVLC does not understand gets its turn in libmpv.
      {"http://h/d.asx",
       decodedAfter(10),
       notUnderstoodAfter(10),
       "S live",
       {"http://h/d.asx 4990"},
       {"http://h/d.asx 5000"}},
      // Not understood when the time is up: nothing is left for the other engine.
      {"http://h/e", notUnderstoodAfter(5000), decodedAfter(1), "S dead", {"http://h/e 5000"}, {}},
  };
  for (const Case& c : cases) {
    PoolRun run;
    run.h.mpv.otherwise = c.mpv;
    run.h.vlc.otherwise = c.vlc;
    EXPECT_THAT(run.check({{"S", c.address}}), ElementsAre(c.verdict)) << c.address;
    EXPECT_EQ(run.h.mpv.starts, c.mpvStarts) << c.address;
    EXPECT_EQ(run.h.vlc.starts, c.vlcStarts) << c.address;
  }
}

TEST(CheckPoolTest, TheVerdictSaysWhatEachEngineSaid) {
  PoolRun run;
  run.h.mpv.otherwise = notUnderstoodAfter(10, "unrecognized file format");
  run.h.vlc.otherwise = deadAfter(10, "no demuxer");
  run.check({{"S", "http://h/page.html"}});
  EXPECT_THAT(run.details, ElementsAre("mpv: unrecognized file format; vlc: no demuxer"));
}

TEST(CheckPoolTest, EachStationHasItsOwnTimeEvenWhenItsPlayerNeverAnswers) {
  PoolRun run;
  run.h.mpv.answer("http://silent1", neverAnswers());
  run.h.mpv.answer("http://silent2", neverAnswers());
  run.h.mpv.otherwise = decodedAfter(400);
  EXPECT_THAT(run.check({{"Q1", "http://silent1"},
                         {"L1", "http://l1"},
                         {"Q2", "http://silent2"},
                         {"L2", "http://l2"},
                         {"L3", "http://l3"}},
                        2, 3000),
              ElementsAre("L1 live", "Q1 dead", "L2 live", "Q2 dead", "L3 live"));
  // Q1 from 0 to 3000, L1 0-400, Q2 400-3400, L2 3000-3400, L3 3400-3800.
  EXPECT_THAT(run.at, ElementsAre(400, 3000, 3400, 3400, 3800));
  EXPECT_EQ(run.h.mpv.cancels, 2);
  EXPECT_THAT(run.details[1], HasSubstr("nothing decoded within 3 s"));
}

TEST(CheckPoolTest, TheTimeCoversBothEngines) {
  // libmpv gives up after 2 s, libVLC never answers: the station ends at its own 5 s.
  PoolRun run;
  run.h.mpv.otherwise = notUnderstoodAfter(2000, "unrecognized file format");
  run.h.vlc.otherwise = neverAnswers();
  EXPECT_THAT(run.check({{"S", "http://h/x"}}), ElementsAre("S dead"));
  EXPECT_THAT(run.at, ElementsAre(5000));
  EXPECT_EQ(run.h.vlc.cancels, 1);
  EXPECT_THAT(run.details,
              ElementsAre("mpv: unrecognized file format; nothing decoded within 5 s"));
}

TEST(CheckPoolTest, AnInterruptedCheckStopsEveryPlayerAndSaysNothingMore) {
  PoolRun run;
  run.h.mpv.otherwise = decodedAfter(1000);
  StationCheck pool(numbered(10), 3, 5000, run.h.environment());
  std::vector<std::string> seen;
  int done = 0;
  pool.onVerdict = [&](size_t station, const StationVerdict&) {
    seen.push_back(pool.stations()[station].name);
  };
  pool.onDone = [&] { ++done; };
  pool.start();
  run.h.loop.advance(1500);
  EXPECT_THAT(seen, UnorderedElementsAre("s0", "s1", "s2"));
  EXPECT_EQ(run.h.mpv.running, 3);
  pool.interrupt();
  EXPECT_EQ(run.h.mpv.running, 0);
  EXPECT_EQ(run.h.mpv.cancels, 3);
  run.h.loop.advance(60000);
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(done, 0);
}

TEST(CheckPoolTest, APlayerThatCannotBeMadeLetsTheOtherEngineTry) {
  PoolRun run;
  CheckEnvironment environment = run.h.environment();
  auto make = environment.makeProbe;
  environment.makeProbe = [make](ProbeEngine engine) -> std::unique_ptr<StreamProbe> {
    if (engine == ProbeEngine::Mpv) throw std::runtime_error("libmpv did not start");
    return make(engine);
  };
  run.h.vlc.otherwise = decodedAfter(100);
  run.h.vlc.answer("http://h/2", deadAfter(100, "refused"));
  StationCheck pool(numbered(3), 1, 5000, environment);
  std::vector<std::string> seen;
  pool.onVerdict = [&](size_t, const StationVerdict& v) { seen.push_back(v.detail); };
  pool.start();
  run.h.loop.advance(1000);
  EXPECT_THAT(seen, ElementsAre("vlc", "vlc", "mpv: libmpv did not start; vlc: refused"));
}

TEST(CheckPoolTest, NoPlayerAtAllStillEndsEveryStationAndCanBeInterrupted) {
  PoolRun run;
  CheckEnvironment environment = run.h.environment();
  environment.makeProbe = [](ProbeEngine engine) -> std::unique_ptr<StreamProbe> {
    throw std::runtime_error(std::string(engineName(engine)) + " missing");
  };
  StationCheck pool(numbered(1000), 4, 5000, environment);
  size_t dead = 0;
  bool ended = false;
  pool.onVerdict = [&](size_t, const StationVerdict& v) {
    dead += v.verdict == Verdict::Dead && v.detail == "mpv: mpv missing; vlc: vlc missing";
  };
  pool.onDone = [&] { ended = true; };
  pool.start();
  EXPECT_EQ(dead, 1000u);
  EXPECT_TRUE(ended);
  pool.interrupt();
  run.h.loop.advance(10000);
}

}  // namespace
}  // namespace zelvo::test
