#include "platform/xmltv/GuideCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace zelvo {

std::string guideCacheFolder(const std::string& configured) {
  if (!configured.empty()) return configured;
  // Qt's own answer for the generic cache follows XDG_CACHE_HOME and falls back to ~/.cache.
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return (base + "/zelvo/guide").toStdString();
}

std::string cacheKey(const std::string& address) {
  return QCryptographicHash::hash(QByteArray::fromStdString(address), QCryptographicHash::Sha1)
      .toHex()
      .toStdString();
}

CachedGuide cachedGuide(const std::string& folder, const std::string& address) {
  CachedGuide guide;
  const std::string base = folder + "/" + cacheKey(address);
  guide.dataPath = base + ".xml";
  guide.metaPath = base + ".meta";
  guide.haveData = QFile::exists(QString::fromStdString(guide.dataPath));
  QFile meta(QString::fromStdString(guide.metaPath));
  if (!guide.haveData || !meta.open(QIODevice::ReadOnly)) return guide;
  bool sameAddress = false;
  while (!meta.atEnd()) {
    const QByteArray line = meta.readLine(64 * 1024).trimmed();
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) continue;
    const QByteArray key = line.left(equals);
    const std::string value = line.mid(equals + 1).toStdString();
    if (key == "address") sameAddress = value == address;
    if (key == "etag") guide.etag = value;
    if (key == "last-modified") guide.lastModified = value;
    if (key == "checked") guide.checkedAt = line.mid(equals + 1).toLongLong();
  }
  if (!sameAddress) guide = CachedGuide{guide.dataPath, guide.metaPath, guide.haveData, {}, {}, 0};
  return guide;
}

bool saveCachedGuide(const CachedGuide& guide, const std::string& address) {
  QSaveFile meta(QString::fromStdString(guide.metaPath));
  if (!meta.open(QIODevice::WriteOnly)) return false;
  // Header values come from a server: no line breaks may get into the record.
  auto clean = [](std::string value) {
    for (char& c : value) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    return value;
  };
  const std::string text = "address=" + clean(address) + "\netag=" + clean(guide.etag) +
                           "\nlast-modified=" + clean(guide.lastModified) +
                           "\nchecked=" + std::to_string(guide.checkedAt) + "\n";
  meta.write(text.data(), static_cast<qint64>(text.size()));
  return meta.commit();
}

std::string cachedLogoPath(const std::string& folder, const std::string& address) {
  return folder + "/logos/" + cacheKey(address);
}

}  // namespace zelvo
