// Makes a folder unwritable for the life of the object, even for root (through the immutable
// attribute), so tests can see what a read-only application folder does.
#pragma once

#include <string>

namespace zelvo::test {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  // False when this machine offers no way to make the folder unwritable.
  bool active() const { return active_; }

 private:
  std::string path_;
  bool immutable_ = false;
  bool active_ = false;
};

}  // namespace zelvo::test
