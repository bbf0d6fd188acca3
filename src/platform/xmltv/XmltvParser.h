// Reads one XMLTV guide fed in pieces of any size, keeping only the wanted channels' programmes
// in a collection. Survives what real guides carry: bytes before the first tag, control
// characters, bytes that are not UTF-8, unknown elements, broken programmes, elements too large to
// hold; a guide that declares entities is refused.
#pragma once

#include <QXmlStreamReader>
#include <set>
#include <string>

#include "platform/GuideReader.h"
#include "platform/xmltv/GuideCollection.h"
#include "platform/xmltv/GuideReaderSettings.h"
#include "platform/xmltv/XmlSkimmer.h"

namespace zelvo {

class XmltvParser {
 public:
  XmltvParser(const GuideWanted& wanted, GuideCollection& collection,
              const GuideReaderSettings& limits);

  // False once the guide cannot be read further (a fault in it, or refused): more is pointless.
  bool feed(const char* data, size_t size);
  // Ends the guide: a guide cut short keeps what was read before the cut.
  void finish();

  // Whether this was a guide at all (its root element was met and not refused).
  bool gaveGuide() const { return sawGuide_ && !refused_; }
  // Whether the guide's end was met: what follows it does not matter.
  bool complete() const { return complete_; }
  // Whether the guide was given up for a fault in it, which problem() names.
  bool failed() const { return failed_; }
  int skipped() const { return skipped_; }
  // Empty, or a line for people on what went wrong.
  const std::string& problem() const { return problem_; }

 private:
  enum class Field { None, Title, Description, DisplayName };
  bool passHead();
  bool take(std::string_view bytes);
  // A programme of a channel not asked for, or of one that keeps no more.
  bool unwantedProgramme(std::string_view tag);
  void noteOverflow(const std::string& channelId);
  void noteCut(const std::string& what);
  void pump();
  void startElement();
  void endElement();
  void endProgramme();
  void endChannel();
  void fail(const std::string& problem);

  const GuideWanted& wanted_;
  GuideCollection& collection_;
  const GuideReaderSettings& limits_;
  QXmlStreamReader xml_;
  XmlSkimmer skimmer_;
  std::set<std::string> keptIds_;
  bool started_ = false;  // the first '<' was met
  std::string head_;      // the start of the guide, until its encoding is known
  bool encodingKnown_ = false;
  bool sawGuide_ = false;
  bool refused_ = false;
  bool stopped_ = false;
  bool complete_ = false;
  bool failed_ = false;
  bool overflowNoted_ = false;
  bool cutNoted_ = false;
  int depth_ = 0;
  int skipped_ = 0;
  std::string problem_;

  // What is being read: a programme or channel element (at depth 2) and a field inside it.
  enum class Item { None, Programme, Channel, Ignored } item_ = Item::None;
  Field field_ = Field::None;
  int fieldDepth_ = 0;
  std::string fieldText_;
  bool haveTitle_ = false;
  bool haveDescription_ = false;
  std::string channelId_;
  bool badProgramme_ = false;
  Programme programme_;
  GuideChannel channel_;
};

}  // namespace zelvo
