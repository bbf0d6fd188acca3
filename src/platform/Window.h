// The main window's model: caption, outer size in twips, window state and visibility,
// and the events the window itself raises (key down, unload).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Control.h"

namespace zelvo {

namespace WindowState {
constexpr int Normal = 0;
constexpr int Minimized = 1;
constexpr int Maximized = 2;
}  // namespace WindowState

class Window : public Control {
 public:
  Window(std::string name, int width, int height)
      : Control(std::move(name), {0, 0, width, height}) {
    setVisible(false);
  }
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption) {
    caption_ = std::move(caption);
    changed();
  }
  int width() const { return rect().width; }
  int height() const { return rect().height; }
  int windowState() const { return state_; }
  void setWindowState(int state) {
    state_ = state;
    changed();
  }

  // A key sequence the window answers wherever its focus is, in the toolkit's portable text
  // ("Ctrl+R", "F2"), with what it does. Each part of the program adds its own.
  void addShortcut(std::string keys, std::function<void()> handler) {
    handlers_[keys] = std::move(handler);
    shortcuts_.push_back(std::move(keys));
    changed();
  }
  const std::vector<std::string>& shortcuts() const { return shortcuts_; }

  // Called by the view.
  void userKeyDown(int keyCode) { keyDown.raise(keyCode); }
  void userShortcut(const std::string& keys) {
    if (auto found = handlers_.find(keys); found != handlers_.end()) found->second();
  }
  void userStateChanged(int state) { state_ = state; }
  void userClosed() { unload.raise(); }

  Event<int> keyDown;  // key code: 27 is Escape
  Event<> unload;

 private:
  std::string caption_;
  std::vector<std::string> shortcuts_;
  std::map<std::string, std::function<void()>> handlers_;
  int state_ = WindowState::Normal;
};

}  // namespace zelvo
