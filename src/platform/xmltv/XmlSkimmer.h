// Walks a guide's bytes ahead of the XML reader, one piece of markup at a time: drops whole
// programmes nobody asked for before the reader spends time on them, and bounds what one element
// may give the reader. Comments and processing instructions carry nothing a guide needs and are
// dropped; CDATA goes on; neither is taken for a programme's tags. Bytes are mended first.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/xmltv/GuideBytes.h"

namespace zelvo {

struct SkimLimits {
  // A tag longer than this, or with more attributes, keeps only the attributes before the bound.
  size_t longestTag = size_t{1} << 20;
  size_t mostAttributes = 256;
  // The text of one element (its CDATA included) is cut here.
  size_t longestText = 64 * 1024;
  // Elements deeper than this go, with all they hold: the reader keeps each open one.
  size_t deepest = 64;
};

class XmlSkimmer {
 public:
  struct Hooks {
    // Takes bytes for the reader; false when the reader has had enough.
    std::function<bool(std::string_view bytes)> take;
    // Asked about each programme's start tag once all before it was taken: true drops the
    // programme.
    std::function<bool(std::string_view tag)> dropProgramme;
    // Told what was cut, as in "holds <what>; the rest of it is passed over".
    std::function<void(const std::string& what)> cut;
  };

  XmlSkimmer(Hooks hooks, SkimLimits limits);
  // Whether the text is UTF-8: its bytes are mended, and a cut never splits a character.
  void setUtf8(bool utf8) {
    utf8_ = utf8;
    bytes_.setUtf8(utf8);
  }
  // False once the reader has had enough.
  bool feed(std::string_view bytes);
  // The guide ended: a tag it left open goes to the reader, which says the guide ends early.
  bool finish();

 private:
  enum class State { Text, Markup, Tag, Comment, CData, Instruction, Declaration };
  // Each step looks at the bytes from at_, moves at_ past what it is done with, and returns false
  // when it needs more bytes.
  bool step(bool last);
  bool text(bool last);
  bool markup(bool last);
  bool tag();
  bool comment();
  bool cdata(bool last);
  bool instruction();
  bool declaration();
  bool awaitEnd();
  void passBound(size_t seenTo);
  std::string tagBounds() const;
  void endOfTag(std::string_view tag, bool selfClosing);
  size_t cutAt(std::string_view text, size_t limit, bool inMarkup) const;
  // Drops what was looked through but the last count bytes, which may begin an end being sought.
  void keepLast(size_t count);
  void give(std::string_view bytes);
  bool flush();

  Hooks hooks_;
  SkimLimits limits_;
  bool utf8_ = true;
  bool stopped_ = false;
  GuideBytes bytes_;
  std::string buf_;  // bytes not yet looked at, from at_
  size_t at_ = 0;
  std::string out_;  // bytes for the reader, not yet taken
  State state_ = State::Text;
  bool firstMarkup_ = true;

  // The markup being read: how far past at_ it was looked through, and what was seen.
  size_t scan_ = 0;
  char quote_ = 0;
  int brackets_ = 0;
  bool slash_ = false;  // the last byte outside quotes was '/'
  size_t attributes_ = 0;
  size_t kept_ = 0;    // of a tag, the length up to its last attribute within the bounds
  bool over_ = false;  // past its bound: its bytes are dropped as they come
  bool keepMarkup_ = false;
  std::string head_;  // what is kept of a tag past its bound

  size_t textRun_ = 0;     // text given for the current element
  bool textCut_ = false;   // its text is dropped up to the next tag
  bool dropping_ = false;  // inside a programme nobody asked for
  size_t depth_ = 0;       // elements open
  bool deep() const { return depth_ > limits_.deepest; }
};

}  // namespace zelvo
