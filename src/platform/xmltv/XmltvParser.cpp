#include "platform/xmltv/XmltvParser.h"

#include <QByteArray>
#include <algorithm>

#include "formats/XmltvTime.h"

namespace zelvo {
namespace {

// The bytes below a space that XML 1.0 forbids; each is one byte in UTF-8 and never part of a
// longer sequence, so dropping them byte by byte is safe.
bool forbiddenInXml(unsigned char byte) {
  return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

std::string utf8(QStringView text) { return text.toString().toStdString(); }

// Appends, but never past limit bytes, and never cutting a UTF-8 sequence in two.
void appendBounded(std::string& to, QStringView text, size_t limit) {
  if (to.size() >= limit) return;
  to += utf8(text);
  if (to.size() <= limit) return;
  size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(to[cut]) & 0xC0) == 0x80) --cut;
  to.resize(cut);
}

std::optional<int64_t> timeAttribute(const QXmlStreamAttributes& attributes, QLatin1String name) {
  const QStringView value = attributes.value(name);
  if (value.isEmpty()) return std::nullopt;
  return parseXmltvTime(value.toLatin1().toStdString());
}

}  // namespace

XmltvParser::XmltvParser(const GuideWanted& wanted, GuideCollection& collection,
                         const GuideReaderSettings& limits)
    : wanted_(wanted), collection_(collection), limits_(limits) {
  keptIds_ = wanted.ids;
  // External entities are never fetched; entities declared inside a guide are refused when met.
  xml_.setNamespaceProcessing(false);
}

bool XmltvParser::feed(const char* data, size_t size) {
  if (stopped_) return false;
  const char* end = data + size;
  if (!started_) {
    data = std::find(data, end, '<');
    if (data == end) return true;
    started_ = true;
  }
  const char* forbidden =
      std::find_if(data, end, [](char c) { return forbiddenInXml(static_cast<unsigned char>(c)); });
  pending_.append(data, forbidden);
  for (const char* at = forbidden; at < end; ++at) {
    if (!forbiddenInXml(static_cast<unsigned char>(*at))) pending_ += *at;
  }
  passOverUnwantedProgrammes();
  return !stopped_;
}

// Most of a guide is programmes of channels nobody asked for. They are found and dropped here,
// before the XML reader spends its time on them; what cannot be judged with certainty (a channel
// written with a reference, a programme not directly inside the guide) goes to the reader.
void XmltvParser::passOverUnwantedProgrammes() {
  static constexpr std::string_view kOpen = "<programme";
  static constexpr std::string_view kClose = "</programme";
  static constexpr size_t kLongestTag = 64 * 1024;
  size_t handed = 0;  // pending_ before this has gone to the reader or been dropped
  size_t scan = 0;
  auto handOn = [&](size_t until) {
    if (until > handed) {
      xml_.addData(QByteArray(pending_.data() + handed, static_cast<qsizetype>(until - handed)));
      pump();
    }
    handed = until;
  };
  while (!stopped_) {
    if (inUnwantedProgramme_) {
      const size_t close = pending_.find(kClose, scan);
      if (close == std::string::npos) {
        // Keeps what may be the start of the closing tag.
        handed = scan =
            std::max(handed, pending_.size() - std::min(pending_.size(), kClose.size()));
        break;
      }
      const size_t closeEnd = pending_.find('>', close);
      if (closeEnd == std::string::npos) {
        handed = scan = close;
        break;
      }
      handed = scan = closeEnd + 1;
      inUnwantedProgramme_ = false;
      continue;
    }
    const size_t open = pending_.find(kOpen, scan);
    if (open == std::string::npos || open + kOpen.size() >= pending_.size()) {
      const size_t keep = open == std::string::npos ? std::min(pending_.size(), kOpen.size())
                                                    : pending_.size() - open;
      handOn(std::max(handed, pending_.size() - keep));
      break;
    }
    const char after = pending_[open + kOpen.size()];
    if (after != ' ' && after != '\t' && after != '\n' && after != '\r') {
      scan = open + 1;
      continue;
    }
    const size_t tagEnd = endOfTag(open);
    if (tagEnd == std::string::npos) {
      // No programme's tag is this long: the reader may make of it what it can.
      if (pending_.size() - open > kLongestTag) {
        scan = open + 1;
        continue;
      }
      handOn(open);
      break;
    }
    handOn(open);  // the reader meets the channels before this programme first
    if (!stopped_ && depth_ == 1 && item_ == Item::None && unwantedProgramme(open, tagEnd)) {
      inUnwantedProgramme_ = pending_[tagEnd - 1] != '/';
      handed = scan = tagEnd + 1;
    } else {
      scan = tagEnd + 1;
    }
  }
  pending_.erase(0, handed);
}

size_t XmltvParser::endOfTag(size_t open) const {
  char quote = 0;
  for (size_t i = open; i < pending_.size(); ++i) {
    const char c = pending_[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return std::string::npos;
}

bool XmltvParser::unwantedProgramme(size_t open, size_t tagEnd) {
  const std::string_view tag(pending_.data() + open, tagEnd - open);
  size_t at = tag.find(" channel");
  for (; at != std::string_view::npos; at = tag.find(" channel", at + 1)) {
    size_t i = at + 8;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t')) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t')) ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return false;
    const size_t valueEnd = tag.find(tag[i], i + 1);
    if (valueEnd == std::string_view::npos) return false;
    const std::string_view value = tag.substr(i + 1, valueEnd - i - 1);
    if (value.empty() || value.find('&') != std::string_view::npos) return false;
    const std::string id(value);
    if (!keptIds_.count(id)) return true;
    if (!collection_.full(id)) return false;
    noteOverflow(id);
    return true;
  }
  return false;
}

void XmltvParser::pump() {
  while (!stopped_) {
    const QXmlStreamReader::TokenType token = xml_.readNext();
    switch (token) {
      case QXmlStreamReader::Invalid:
        if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
          fail("unreadable at line " + std::to_string(xml_.lineNumber()) + ": " +
               xml_.errorString().toStdString());
        }
        return;
      case QXmlStreamReader::EndDocument:
        stopped_ = complete_ = true;
        return;
      case QXmlStreamReader::DTD:
        if (!xml_.entityDeclarations().isEmpty() || !xml_.notationDeclarations().isEmpty()) {
          refused_ = true;
          fail("declares entities in its DOCTYPE; refused");
        }
        break;
      case QXmlStreamReader::StartElement:
        startElement();
        break;
      case QXmlStreamReader::EndElement:
        endElement();
        break;
      case QXmlStreamReader::Characters:
        if (field_ == Field::None || depth_ != fieldDepth_) break;
        appendBounded(fieldText_, xml_.text(),
                      static_cast<size_t>(field_ == Field::Description ? limits_.maxDescriptionBytes
                                                                       : limits_.maxTitleBytes));
        break;
      default:
        break;
    }
  }
}

void XmltvParser::startElement() {
  ++depth_;
  const QStringView name = xml_.name();
  if (depth_ == 1) {
    sawGuide_ = name == u"tv";
    if (!sawGuide_) fail("is not an XMLTV guide (its root is <" + utf8(name) + ">)");
    return;
  }
  if (depth_ == 2) {
    const QXmlStreamAttributes attributes = xml_.attributes();
    if (name == u"programme") {
      channelId_ = utf8(attributes.value(QLatin1String("channel")));
      if (channelId_.empty()) {
        ++skipped_;
        item_ = Item::Ignored;
        return;
      }
      if (!keptIds_.count(channelId_)) {
        item_ = Item::Ignored;
        return;
      }
      item_ = Item::Programme;
      programme_ = Programme{};
      haveTitle_ = haveDescription_ = false;
      const auto start = timeAttribute(attributes, QLatin1String("start"));
      const auto stop = attributes.hasAttribute(QLatin1String("stop"))
                            ? timeAttribute(attributes, QLatin1String("stop"))
                            : std::optional<int64_t>(0);
      badProgramme_ = !start || !stop || (*stop != 0 && *stop <= *start);
      if (!badProgramme_) {
        programme_.start = *start;
        programme_.stop = *stop;
      }
    } else if (name == u"channel") {
      item_ = Item::Channel;
      channel_ = GuideChannel{utf8(attributes.value(QLatin1String("id"))), {}, {}, {}};
    } else {
      item_ = Item::Ignored;
    }
    return;
  }
  if (depth_ != 3 || field_ != Field::None) return;
  if (item_ == Item::Programme) {
    if (name == u"title" && !haveTitle_) field_ = Field::Title;
    if (name == u"desc" && !haveDescription_) field_ = Field::Description;
  } else if (item_ == Item::Channel) {
    if (name == u"display-name") field_ = Field::DisplayName;
    if (name == u"icon" && channel_.icon.empty()) {
      channel_.icon = utf8(xml_.attributes().value(QLatin1String("src")));
    }
  }
  if (field_ != Field::None) {
    fieldDepth_ = depth_;
    fieldText_.clear();
  }
}

void XmltvParser::endElement() {
  if (field_ != Field::None && depth_ == fieldDepth_) {
    switch (field_) {
      case Field::Title:
        programme_.title = std::move(fieldText_);
        haveTitle_ = true;
        break;
      case Field::Description:
        programme_.description = std::move(fieldText_);
        haveDescription_ = true;
        break;
      case Field::DisplayName:
        if (channel_.displayNames.size() < 16) channel_.displayNames.push_back(fieldText_);
        break;
      case Field::None:
        break;
    }
    field_ = Field::None;
    fieldText_.clear();
  }
  if (depth_ == 2) {
    if (item_ == Item::Programme) endProgramme();
    if (item_ == Item::Channel) endChannel();
    item_ = Item::None;
  }
  --depth_;
}

void XmltvParser::endProgramme() {
  if (badProgramme_) {
    ++skipped_;
    return;
  }
  if (!collection_.inWindow(programme_.start, programme_.stop)) return;
  if (!collection_.addProgramme(channelId_, std::move(programme_))) noteOverflow(channelId_);
}

void XmltvParser::noteOverflow(const std::string& channelId) {
  if (overflowNoted_ || !problem_.empty()) return;
  overflowNoted_ = true;
  problem_ = "holds more than " + std::to_string(limits_.maxProgrammesPerChannel) +
             " programmes for channel " + channelId + "; the rest are passed over";
}

void XmltvParser::endChannel() {
  if (channel_.id.empty()) return;
  bool wantedChannel = wanted_.ids.count(channel_.id) > 0;
  for (const std::string& name : channel_.displayNames) {
    if (wantedChannel) break;
    wantedChannel = wanted_.names.count(normalizeGuideName(name)) > 0;
  }
  if (!wantedChannel) return;
  keptIds_.insert(channel_.id);
  collection_.addChannel(channel_);
}

void XmltvParser::fail(const std::string& problem) {
  stopped_ = true;
  problem_ = problem;
}

void XmltvParser::finish() {
  if (stopped_) return;
  if (!inUnwantedProgramme_ && !pending_.empty()) {
    xml_.addData(QByteArray(pending_.data(), static_cast<qsizetype>(pending_.size())));
    pending_.clear();
    pump();
    if (stopped_) return;
  }
  stopped_ = true;
  if (!started_) {
    problem_ = "is empty or not XML";
  } else if (!sawGuide_) {
    problem_ = "is not an XMLTV guide";
  } else if (depth_ > 0) {
    if (item_ == Item::Programme) ++skipped_;
    problem_ = "ends early; what came before the cut is kept";
  }
}

}  // namespace zelvo
