#include "platform/xmltv/XmltvParser.h"

#include <QByteArray>
#include <algorithm>

#include "formats/XmltvTime.h"

namespace zelvo {
namespace {

std::string utf8(QStringView text) { return text.toString().toStdString(); }

// Appends, but never past limit bytes, and never cutting a UTF-8 sequence in two. Each UTF-16
// unit makes at least one byte, so no more than limit units are converted.
void appendBounded(std::string& to, QStringView text, size_t limit) {
  if (to.size() >= limit) return;
  to += utf8(text.first(std::min(text.size(), static_cast<qsizetype>(limit - to.size()))));
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
    : wanted_(wanted),
      collection_(collection),
      limits_(limits),
      skimmer_({[this](std::string_view bytes) { return take(bytes); },
                [this](std::string_view tag) {
                  return !stopped_ && depth_ == 1 && item_ == Item::None && unwantedProgramme(tag);
                },
                [this](const std::string& what) { noteCut(what); }},
               SkimLimits{}) {
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
  if (encodingKnown_) {
    skimmer_.feed(std::string_view(data, static_cast<size_t>(end - data)));
    return !stopped_;
  }
  // The declaration says whether the guide is UTF-8; it is short, and waits here whole.
  head_.append(data, end);
  if (head_.find('>') == std::string::npos && head_.size() < 1024) return true;
  return passHead();
}

bool XmltvParser::passHead() {
  encodingKnown_ = true;
  skimmer_.setUtf8(declaresUtf8(head_));
  const std::string head = std::move(head_);
  head_.clear();
  skimmer_.feed(head);
  return !stopped_;
}

bool XmltvParser::take(std::string_view bytes) {
  xml_.addData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  pump();
  return !stopped_;
}

bool XmltvParser::unwantedProgramme(std::string_view tag) {
  auto blank = [&](size_t i) {
    return i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r');
  };

  size_t i = tag.find_first_of(" \t\r\n/>");
  while (i < tag.size()) {
    while (blank(i)) ++i;
    if (i >= tag.size() || tag[i] == '/' || tag[i] == '>') return false;
    const size_t nameFrom = i;
    while (i < tag.size() && !blank(i) && tag[i] != '=' && tag[i] != '/' && tag[i] != '>') ++i;
    const std::string_view name = tag.substr(nameFrom, i - nameFrom);
    while (blank(i)) ++i;
    if (i >= tag.size() || tag[i] != '=') return false;
    ++i;
    while (blank(i)) ++i;
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return false;
    const size_t valueEnd = tag.find(tag[i], i + 1);
    if (valueEnd == std::string_view::npos) return false;
    if (name == "channel") {
      const std::string_view value = tag.substr(i + 1, valueEnd - i - 1);
      if (value.empty() || value.find('&') != std::string_view::npos) return false;
      const std::string id(value);
      if (!keptIds_.count(id)) return true;
      if (!collection_.full(id)) return false;
      noteOverflow(id);
      return true;
    }
    i = valueEnd + 1;
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

void XmltvParser::noteCut(const std::string& what) {
  if (cutNoted_ || !problem_.empty()) return;
  cutNoted_ = true;
  problem_ = "holds " + what + "; the rest of it is passed over";
}

void XmltvParser::fail(const std::string& problem) {
  stopped_ = failed_ = true;
  problem_ = problem;
}

void XmltvParser::finish() {
  if (stopped_) return;
  if (started_ && !encodingKnown_) passHead();
  skimmer_.finish();
  if (stopped_) return;
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
