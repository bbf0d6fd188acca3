// The toolkit's services that need only QtCore: letting pending events run, ending the process,
// and timers on QTimer. The headless check runs on these without any of QtWidgets.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Process.h"
#include "platform/Timer.h"

namespace zelvo {

// Lets every pending event run, window-system input included, each time it is asked.
class QtEventLoop : public EventLoop {
 public:
  void processPendingEvents() override;
};

// Ends the Qt event loop; before the loop runs, remembers the request for main() to honour.
// The first request decides the exit status.
class QtProcess : public Process {
 public:
  void end(int status) override;
  bool ending() const override { return ended_; }
  bool endRequested() const { return ended_; }
  int status() const { return status_; }

 private:
  bool ended_ = false;
  int status_ = 0;
};

// Drives the window's timer models with QTimers.
class QtTimers {
 public:
  // Coarse timers may fire up to 5% early; precise ones give every interval in full.
  explicit QtTimers(Qt::TimerType type = Qt::CoarseTimer) : type_(type) {}
  void bind(Timer& timer);

 private:
  Qt::TimerType type_;
  std::vector<std::unique_ptr<QTimer>> timers_;
};

}  // namespace zelvo
