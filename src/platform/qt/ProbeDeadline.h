// The time a stream probe gives one address, and how its results word that time. A coarse
// timer may fire up to 5% early, so this one is precise: an address gets all of its time.
#pragma once

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <string>
#include <utility>

namespace zelvo {

// A duration for people, to a tenth of a second: "2 s", "0.3 s".
inline std::string secondsText(int milliseconds) {
  const int tenths = (milliseconds + 50) / 100;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text + " s";
}

class ProbeDeadline {
 public:
  // expired runs on owner's thread when an address's time is up.
  template <class Expired>
  ProbeDeadline(QObject* owner, Expired expired) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, owner, std::move(expired));
  }

  // At least a millisecond, whatever the caller asked for.
  void start(int milliseconds) {
    milliseconds_ = std::max(1, milliseconds);
    timer_.start(milliseconds_);
  }
  void stop() { timer_.stop(); }
  int milliseconds() const { return milliseconds_; }
  std::string missed() const { return "nothing decoded within " + secondsText(milliseconds_); }

 private:
  QTimer timer_;
  int milliseconds_ = 1;
};

}  // namespace zelvo
