#include "platform/xmltv/GuideFile.h"

#include <zlib.h>

#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>

namespace zelvo {
namespace {

constexpr qint64 kPiece = 256 * 1024;

bool gzipMagic(const char* data, qint64 size) {
  return size >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
         static_cast<unsigned char>(data[1]) == 0x8b;
}

// Hands bytes to the parser and counts them against the bound; false once either has had enough,
// or the read is to stop: one piece of a file may inflate to many.
class Feed {
 public:
  Feed(XmltvParser& parser, int64_t maxBytes, const std::atomic<bool>& stop)
      : parser_(parser), left_(maxBytes), stop_(stop) {}
  bool operator()(const char* data, size_t size) {
    if (stop_.load(std::memory_order_relaxed)) return false;
    const bool over = static_cast<int64_t>(size) > left_;
    if (over) {
      size = static_cast<size_t>(std::max<int64_t>(left_, 0));
      overflowed_ = true;
    }
    left_ -= static_cast<int64_t>(size);
    return parser_.feed(data, size) && !over;
  }
  bool overflowed() const { return overflowed_; }

 private:
  XmltvParser& parser_;
  int64_t left_;
  const std::atomic<bool>& stop_;
  bool overflowed_ = false;
};

// Inflates gzip members one after another as the file is read.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, 16 + MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // False when the stream is broken or the feed has had enough; problem says which.
  bool inflate(const char* data, qint64 size, Feed& feed, std::string& problem) {
    if (!ok_) {
      problem = "cannot be inflated";
      return false;
    }
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream_.avail_in = static_cast<uInt>(size);
    // A full output piece may leave more inside zlib even when all input is taken.
    bool outputFull = false;
    while ((stream_.avail_in > 0 || outputFull) && !trailing_) {
      if (ended_) {
        // Another member may follow, its header cut anywhere between pieces; zlib reads it.
        if (inflateReset(&stream_) != Z_OK) return true;
        ended_ = false;
        nextMember_ = true;
      }
      stream_.next_out = out_;
      stream_.avail_out = sizeof out_;
      const int result = ::inflate(&stream_, Z_NO_FLUSH);
      const size_t produced = sizeof out_ - stream_.avail_out;
      outputFull = stream_.avail_out == 0;
      if (produced > 0 && !feed(reinterpret_cast<const char*>(out_), produced)) return false;
      if (result == Z_STREAM_END) {
        ended_ = true;
      } else if (result == Z_DATA_ERROR && nextMember_ && stream_.total_out == 0) {
        trailing_ = true;  // what follows the last member is not the guide
      } else if (result != Z_OK && result != Z_BUF_ERROR) {
        problem = "its compressed data is damaged; what came before is kept";
        return false;
      } else if (result == Z_BUF_ERROR && produced == 0) {
        return true;  // needs more input
      }
    }
    return true;
  }
  // A member that ended, and nothing of another begun.
  bool ended() const { return ended_ || trailing_ || (nextMember_ && stream_.total_out == 0); }

 private:
  z_stream stream_{};
  bool ok_ = false;
  bool ended_ = false;
  bool nextMember_ = false;  // a member ended before the one being read
  bool trailing_ = false;
  Bytef out_[kPiece];
};

}  // namespace

GuideFileOutcome readGuideFile(const std::string& path, XmltvParser& parser, int64_t maxBytes,
                               const std::atomic<bool>& stop) {
  GuideFileOutcome outcome;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    outcome.problem = "cannot be opened: " + file.errorString().toStdString();
    return outcome;
  }
  Feed feed(parser, maxBytes, stop);
  std::unique_ptr<Inflater> inflater;
  std::vector<char> piece(kPiece);
  bool first = true;
  bool going = true;
  while (going && !stop.load(std::memory_order_relaxed)) {
    const qint64 size = file.read(piece.data(), kPiece);
    if (size <= 0) {
      if (size < 0) outcome.problem = "cannot be read: " + file.errorString().toStdString();
      break;
    }
    if (first && gzipMagic(piece.data(), size)) inflater = std::make_unique<Inflater>();
    first = false;
    going = inflater ? inflater->inflate(piece.data(), size, feed, outcome.problem)
                     : feed(piece.data(), static_cast<size_t>(size));
  }
  if (stop.load()) return outcome;
  parser.finish();
  if (feed.overflowed()) {
    outcome.problem =
        "is larger than " + std::to_string(maxBytes) + " bytes; only what came before is kept";
  } else if (inflater && !inflater->ended() && !parser.complete() && !parser.failed() &&
             outcome.problem.empty()) {
    outcome.problem = "its compressed data ends early; what came before is kept";
  }
  if (outcome.problem.empty()) outcome.problem = parser.problem();
  outcome.gaveGuide = parser.gaveGuide();
  outcome.skipped = parser.skipped();
  return outcome;
}

}  // namespace zelvo
