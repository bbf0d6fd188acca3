// Stands in for the guide reader until the first read or logo opens its module, then passes
// every call and event through; when the module cannot be had, says why as a read's problem.
#pragma once

#include <QObject>
#include <string>

#include "platform/GuideReader.h"
#include "platform/ModuleSlot.h"
#include "platform/xmltv/GuideReaderSettings.h"

namespace zelvo {

class GuideReaderProxy : public GuideReader {
 public:
  explicit GuideReaderProxy(GuideReaderSettings settings);

  void read(const GuideRequest& request) override;
  void cancel() override;
  void fetchLogo(const std::string& address) override;

 private:
  GuideReaderSettings settings_;
  ModuleSlot<GuideReader> slot_;
  QObject queue_;
  unsigned reads_ = 0;  // a failed read answers only while no later read or cancel came
};

}  // namespace zelvo
