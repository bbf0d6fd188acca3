// A temporary folder that is removed with everything in it when the object goes away.
#pragma once

#include <string>
#include <vector>

namespace zelvo::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string fileBytes(const std::string& path);
// The names of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::string> namesIn(const std::string& folder);

}  // namespace zelvo::test
