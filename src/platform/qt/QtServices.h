// The window toolkit's small services on Qt: letting pending events run, message boxes,
// ending the process, and the window's timers on QTimer.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/MessageBoxes.h"
#include "platform/Process.h"
#include "platform/Timer.h"

namespace zelvo {

// Lets pending events run, but not more often than every few milliseconds: a loop that yields
// once per line would otherwise spend most of its time polling an idle event queue.
class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  void processPendingEvents() override;

 private:
  QElapsedTimer sinceLastRun_;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  void show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

// Ends the Qt event loop; before the loop runs, remembers the request for main() to honour.
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
  void bind(Timer& timer);

 private:
  std::vector<std::unique_ptr<QTimer>> timers_;
};

}  // namespace zelvo
