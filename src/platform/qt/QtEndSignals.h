// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP) into one request on the
// UI thread, through a self-pipe that a socket notifier watches. One object at a time.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace zelvo {

class QtEndSignals : public QObject {
 public:
  // Installs the handlers; onEndRequest runs on the UI thread for the first signal only.
  // A signal that was ignored when the program started (nohup) stays ignored.
  explicit QtEndSignals(std::function<void()> onEndRequest);
  // Restores the dispositions found at construction.
  ~QtEndSignals() override;
  QtEndSignals(const QtEndSignals&) = delete;
  QtEndSignals& operator=(const QtEndSignals&) = delete;

 private:
  void readPipe();

  std::function<void()> onEndRequest_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool requested_ = false;
};

}  // namespace zelvo
