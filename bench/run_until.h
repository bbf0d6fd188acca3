// Runs the Qt event loop as the program's own loop does, without sleeping between events, until
// a condition holds; closes every message box that comes up, as the user of a probe would.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace zelvo::bench {

// Closes the modal message box on screen, if any, and returns its text (empty when none).
inline QString closeMessageBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return {};
  const QString text = box->text();
  box->accept();
  return text;
}

// Checks the condition every few milliseconds, also while a message box runs its own loop.
// Returns false when timeoutMs passed first. onMessage sees the text of each box it closed.
inline bool runUntil(const std::function<bool()>& condition, int timeoutMs,
                     const std::function<void(const QString&)>& onMessage = {}) {
  QEventLoop loop;
  bool held = false;
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QString message = closeMessageBox();
    if (!message.isEmpty()) {
      if (onMessage) {
        onMessage(message);
      } else {
        std::printf("  closed a message box: %s\n", message.toUtf8().constData());
      }
    }
    if (!held && condition()) {
      held = true;
      loop.quit();
    } else if (clock.elapsed() >= timeoutMs) {
      loop.quit();
    }
  });
  poll.start();
  if (condition()) return true;
  loop.exec();
  return held;
}

}  // namespace zelvo::bench
