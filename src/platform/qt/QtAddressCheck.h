// The cheap look at a station's server through Qt's network access: a GET of the first bytes of
// the address, with the station's request headers, given up after a few seconds.
#pragma once

#include <QNetworkAccessManager>
#include <QPointer>
#include <string>

#include "platform/AddressCheck.h"

class QNetworkReply;

namespace zelvo {

class QtAddressCheck final : public AddressCheck {
 public:
  QtAddressCheck();
  ~QtAddressCheck() override;
  void start(const std::string& address) override;
  void cancel() override;
  bool running() const override { return !reply_.isNull(); }

 private:
  void settle(QNetworkReply* reply);

  QNetworkAccessManager network_;
  QPointer<QNetworkReply> reply_;
};

}  // namespace zelvo
