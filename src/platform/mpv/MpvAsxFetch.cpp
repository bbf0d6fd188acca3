// The ASX playlist, which mpv cannot read: fetched within the bounds of the one download (or
// read from a local file), and its first entry handed to mpv.
#include <QFile>
#include <QNetworkAccessManager>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "platform/mpv/MediaAddress.h"
#include "platform/mpv/MpvRealPlayer.h"
#include "platform/qt/BoundedDownload.h"

namespace zelvo {

namespace {

constexpr qint64 kMaxPlaylistBytes = 1 << 20;
constexpr int kMaxPlaylistFetchMs = 10000;
constexpr int kMaxPlaylistRedirects = 8;

}  // namespace

void MpvRealPlayer::readLocalPlaylist(const std::string& path) {
  const QUrl url = mpv::toUrl(path);
  QFile file(url.isLocalFile() ? url.toLocalFile() : QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist could not be read.",
                 path + ": " + file.errorString().toStdString());
    return;
  }
  const auto entry = mpv::firstAsxEntry(file.read(kMaxPlaylistBytes), url);
  if (!entry) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist has nothing to play.",
                 path + ": no entry");
    return;
  }
  loadIntoEngine(*entry);
}

void MpvRealPlayer::fetchPlaylist(const std::string& address) {
  if (!network_) network_ = new QNetworkAccessManager(this);
  DownloadTerms terms;
  terms.address = mpv::toUrl(address).toString(QUrl::FullyEncoded).toStdString();
  terms.headers = {{"User-Agent", headers_.userAgent},
                   {"Referer", headers_.referrer},
                   {"Origin", headers_.origin},
                   {"Cookie", headers_.cookie}};
  terms.stallTimeoutMs = std::min(options_.watchdogMs, kMaxPlaylistFetchMs);
  terms.maxRedirects = kMaxPlaylistRedirects;
  terms.maxBytes = kMaxPlaylistBytes;
  phase_ = Phase::Fetching;
  playlistBody_.clear();
  const uint64_t stamp = generation();
  fetch_ = std::make_unique<BoundedDownload>(
      *network_, std::move(terms),
      [this](const QByteArray& part) {
        playlistBody_ += part;
        return std::string();
      },
      [this, stamp, shown = mpv::toUrl(address).toString().toStdString()](const DownloadEnd& end) {
        if (stamp == generation()) playlistArrived(shown, end);
      });
}

// Runs inside the download's last call, which touches nothing of it afterwards: it may go here.
void MpvRealPlayer::playlistArrived(const std::string& address, const DownloadEnd& end) {
  fetch_.reset();
  const QByteArray body = std::exchange(playlistBody_, QByteArray());
  if (end.kind != DownloadEnd::Kind::Complete) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist could not be read.",
                 address + ": " + end.problem);
    return;
  }
  const auto entry = mpv::firstAsxEntry(body, QUrl(QString::fromStdString(end.address)));
  if (!entry) {
    failPlayback(MpvRealError::PlaylistFailed, "The playlist has nothing to play.",
                 address + ": no entry");
    return;
  }
  loadIntoEngine(*entry);
}

void MpvRealPlayer::cancelFetch() {
  fetch_.reset();
  playlistBody_.clear();
}

}  // namespace zelvo
