// Modal message boxes with an OK button. show() returns when the user has closed the box.
#pragma once

#include <string>

namespace zelvo {

enum class MessageIcon { None, Information, Warning, Error };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

}  // namespace zelvo
