// The result files of the web search and the station list scan: appending a found station
// unless the file already holds it, saving the scan's record, and restoring the default results.
#pragma once

#include <string>

#include "form/Services.h"

namespace zelvo {

class ResultFiles {
 public:
  explicit ResultFiles(Context context) : x_(context) {}

  // Appends the record to tv_lib_ss_www.txt.
  void AppendWebFind(const std::string& record);
  // Appends Text2's text to tv_lib_ss_jg.txt.
  void AppendScanFind(const std::string& text);
  // Makes sure tv_lib_ss_jg.txt holds Text2's text as one of its lines, keeping all others.
  void SaveScanText();
  // Copies the default results over tv_lib_ss_jg.txt.
  void RestoreScanDefaults();

 private:
  void append(const char* fileName, const std::string& record);
  bool readWhole(const std::string& path, FileLine& old);
  Context x_;
};

}  // namespace zelvo
