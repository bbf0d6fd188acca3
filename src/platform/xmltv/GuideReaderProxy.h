// Stands in for the guide reader until the first read or logo opens its module, then passes
// every call and event through; when the module cannot be had, says why as a read's problem.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "platform/GuideReader.h"
#include "platform/xmltv/GuideReaderSettings.h"

namespace zelvo {

class GuideReaderProxy : public GuideReader {
 public:
  explicit GuideReaderProxy(GuideReaderSettings settings) : settings_(std::move(settings)) {}
  ~GuideReaderProxy() override;

  void read(const GuideRequest& request) override;
  void cancel() override;
  void fetchLogo(const std::string& address) override;

 private:
  GuideReader* reader();

  GuideReaderSettings settings_;
  std::unique_ptr<GuideReader> reader_;
  std::string problem_;  // why the module cannot be had, once tried
  QObject queue_;
  unsigned reads_ = 0;  // a failed read answers only while no later read or cancel came
};

}  // namespace zelvo
