// Address checks and ASX reading for the mpv player, which has no ASX parser of its own and
// would accept almost any text as a file name.
#include "platform/mpv/MediaAddress.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cctype>

#include "formats/PlaylistReader.h"

namespace zelvo::mpv {

namespace {

const QStringList& networkSchemes() {
  static const QStringList schemes{"http",  "https", "rtsp", "rtsps", "rtmp", "rtmps",
                                   "rtmpt", "mms",   "mmsh", "mmst",  "pnm",  "rtp",
                                   "udp",   "tcp",   "ftp",  "srt"};
  return schemes;
}

// A single letter before the colon is a drive, not a scheme.
bool hasScheme(const QString& text) {
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  return scheme.match(text).hasMatch();
}

}  // namespace

QUrl toUrl(const std::string& address) {
  const QString text = QString::fromStdString(address).trimmed();
  if (hasScheme(text)) return QUrl(text, QUrl::TolerantMode);
  return QUrl::fromLocalFile(text);
}

bool isWellFormedAddress(const std::string& address) {
  const QString text = QString::fromStdString(address).trimmed();
  if (text.isEmpty()) return false;
  if (std::any_of(address.begin(), address.end(),
                  [](char ch) { return static_cast<unsigned char>(ch) < 0x20; })) {
    return false;
  }
  if (!hasScheme(text)) return true;
  const QUrl url(text, QUrl::TolerantMode);
  if (!url.isValid()) return false;
  if (networkSchemes().contains(url.scheme().toLower())) return !url.host().isEmpty();
  return true;
}

bool isNetworkAddress(const std::string& address) {
  const QString text = QString::fromStdString(address).trimmed();
  return hasScheme(text) && networkSchemes().contains(QUrl(text).scheme().toLower());
}

bool isAsxAddress(const std::string& address) {
  return toUrl(address).path().endsWith(".asx", Qt::CaseInsensitive);
}

std::optional<std::string> firstAsxEntry(const QByteArray& document, const QUrl& base) {
  const std::optional<std::string> reference =
      firstAsxReference(std::string_view(document.constData(), document.size()));
  if (!reference) return std::nullopt;
  const QString href = QString::fromStdString(*reference).trimmed();
  if (href.isEmpty()) return std::nullopt;
  if (hasScheme(href)) return href.toStdString();
  const QUrl resolved = base.resolved(QUrl(href, QUrl::TolerantMode));
  if (resolved.isLocalFile()) return resolved.toLocalFile().toStdString();
  return resolved.toString().toStdString();
}

}  // namespace zelvo::mpv
