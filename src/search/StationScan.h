// The station list scan's buttons: "搜台" plays every candidate in turn, each change of Text2
// records a confirmed station, "停止" ends whatever runs, "缺省" restores the default results.
#pragma once

#include "form/Services.h"

namespace zelvo {

class StationFiles;
class PositionFiles;
class Playback;
class AddressExpansion;
class ResultFiles;
class SearchRun;

struct ScanParts {
  StationFiles& files;
  PositionFiles& positions;
  Playback& playback;
  AddressExpansion& expansion;
  ResultFiles& results;
  SearchRun& search;
};

class StationScan {
 public:
  StationScan(Context context, ScanParts parts) : x_(context), p_(parts) {}

  void connect();
  void ScanClicked();      // Command10
  void StopClicked();      // Command9
  void DefaultsClicked();  // Command16

 private:
  Context x_;
  ScanParts p_;
};

}  // namespace zelvo
