// The state every control of the window shares: design position in twips, visibility,
// enabled state, tooltip and focus, plus the hook through which a view mirrors it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Event.h"

namespace zelvo {

// An entry of a context menu that the behaviour replaces as a whole (a player's tracks).
struct ContextEntry {
  std::string caption;
  bool checked = false;  // shown with a mark
  bool heading = false;  // a title over the entries that follow: shown, never chosen

  bool operator==(const ContextEntry&) const = default;
};

struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

class Control {
 public:
  Control(std::string name, TwipRect design) : name_(std::move(name)), rect_(design) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  TwipRect rect() const { return rect_; }
  void setHeight(int twips) {
    rect_.height = twips;
    changed();
  }
  void setWidth(int twips) {
    rect_.width = twips;
    changed();
  }
  bool visible() const { return visible_; }
  void setVisible(bool on) {
    visible_ = on;
    changed();
  }
  bool enabled() const { return enabled_; }
  void setEnabled(bool on) {
    enabled_ = on;
    changed();
  }
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(std::string tip) {
    toolTip_ = std::move(tip);
    changed();
  }

  // Gives the control the keyboard focus; the view moves it and reports back.
  void setFocus() {
    if (focusRequested_) focusRequested_();
  }
  bool hasFocus() const { return focused_; }
  // Called by the view when the focus has moved into or out of the control.
  void userFocusChanged(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    if (focused)
      gotFocus.raise();
    else
      lostFocus.raise();
  }

  // Entries the control's context menu offers after the toolkit's own; choosing one raises
  // contextAction with its caption.
  void addContextAction(std::string caption) {
    contextActions_.push_back(std::move(caption));
    changed();
  }
  const std::vector<std::string>& contextActions() const { return contextActions_; }
  // Called by the view when the user chose an entry of the context menu.
  void userContextAction(const std::string& caption) { contextAction.raise(caption); }

  // Entries after the fixed ones above, replaced as a whole; the view reads them each time the
  // menu opens, right after raising contextMenuOpening so that they can be brought up to date.
  void setContextEntries(std::vector<ContextEntry> entries) {
    contextEntries_ = std::move(entries);
  }
  const std::vector<ContextEntry>& contextEntries() const { return contextEntries_; }
  void userOpensContextMenu() { contextMenuOpening.raise(); }
  // Called by the view when the user chose the entry at index with this caption. The entries
  // may have been replaced while the menu was open: a choice that no longer matches is dropped.
  void userContextEntry(size_t index, const std::string& caption) {
    if (index >= contextEntries_.size() || contextEntries_[index].heading ||
        contextEntries_[index].caption != caption)
      return;
    contextEntryChosen.raise(static_cast<int>(index));
  }

  void setViewHooks(std::function<void()> changed, std::function<void()> focusRequested) {
    viewChanged_ = std::move(changed);
    focusRequested_ = std::move(focusRequested);
  }

  Event<> gotFocus;
  Event<> lostFocus;
  Event<std::string> contextAction;
  Event<> contextMenuOpening;
  Event<int> contextEntryChosen;  // the index in contextEntries()

 protected:
  void changed() const {
    if (viewChanged_) viewChanged_();
  }

 private:
  std::string name_;
  TwipRect rect_;
  bool visible_ = true;
  bool enabled_ = true;
  bool focused_ = false;
  std::string toolTip_;
  std::vector<std::string> contextActions_;
  std::vector<ContextEntry> contextEntries_;
  std::function<void()> viewChanged_;
  std::function<void()> focusRequested_;
};

// A control with a caption that the user can click: buttons, labels, frames, check boxes.
class CaptionControl : public Control {
 public:
  CaptionControl(std::string name, TwipRect design, std::string caption)
      : Control(std::move(name), design), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption) {
    if (caption == caption_) return;  // the status line is rewritten 20 times a second
    caption_ = std::move(caption);
    changed();
  }
  // Called by the view when the user clicks the control.
  void userClicked() {
    if (enabled()) click.raise();
  }
  Event<> click;

 private:
  std::string caption_;
};

class Button : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  // The user pressed a key while the button had the focus.
  void userKeyDown(int keyCode) { keyDown.raise(keyCode); }
  Event<int> keyDown;
};

class Label : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  bool redText = false;
  // A mark over the picture: white on red, always above the video.
  bool badge = false;
};

class Frame : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
};

class CheckBox : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  bool checked() const { return checked_; }
  void setChecked(bool on) {
    checked_ = on;
    changed();
  }
  // The user's click toggles the box, then raises Click.
  void userToggled(bool on) {
    checked_ = on;
    changed();
    click.raise();
  }

 private:
  bool checked_ = false;
};

class TextBox : public Control {
 public:
  using Control::Control;
  const std::string& text() const { return text_; }
  // Setting a different text, from the program or by typing, raises Change.
  void setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    changed();
    change.raise();
  }
  Event<> change;
  bool multiLine = false;

 private:
  std::string text_;
};

// The area of a player or of the browser inside the window.
class HostArea : public Control {
 public:
  using Control::Control;
};

}  // namespace zelvo
