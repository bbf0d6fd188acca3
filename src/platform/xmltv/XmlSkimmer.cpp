#include "platform/xmltv/XmlSkimmer.h"

#include <algorithm>
#include <cstring>

namespace zelvo {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::string_view kEndOfName = " \t\r\n/>";

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool entityByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#' ||
         c == '_' || c == '-' || c == '.' || c == ':';
}

std::string_view nameOf(std::string_view tag) {
  const size_t from = tag.size() > 1 && tag[1] == '/' ? 2 : 1;
  const size_t end = tag.find_first_of(kEndOfName, from);
  return tag.substr(from, end == std::string_view::npos ? tag.size() - from : end - from);
}

}  // namespace

XmlSkimmer::XmlSkimmer(Hooks hooks, SkimLimits limits)
    : hooks_(std::move(hooks)), limits_(limits) {}

bool XmlSkimmer::feed(std::string_view bytes) {
  if (stopped_) return false;
  bytes_.append(bytes.data(), bytes.size(), buf_);
  while (!stopped_ && at_ < buf_.size() && step(false)) {
  }
  buf_.erase(0, at_);
  at_ = 0;
  return flush();
}

bool XmlSkimmer::finish() {
  if (stopped_) return false;
  bytes_.finish(buf_);
  while (!stopped_ && at_ < buf_.size() && step(true)) {
  }
  const bool unended = state_ == State::Tag || state_ == State::Markup || state_ == State::CData ||
                       state_ == State::Declaration;
  if (unended && !over_ && !dropping_ && at_ < buf_.size()) {
    give(std::string_view(buf_).substr(at_, limits_.longestText));
  }
  buf_.clear();
  at_ = 0;
  return flush();
}

bool XmlSkimmer::step(bool last) {
  switch (state_) {
    case State::Text:
      return text(last);
    case State::Markup:
      return markup(last);
    case State::Tag:
      return tag();
    case State::Comment:
      return comment();
    case State::CData:
      return cdata(last);
    case State::Instruction:
      return instruction();
    case State::Declaration:
      return declaration();
  }
  return false;
}

// Text waits here whole, up to its bound, so that a cut can see the characters it falls among.
bool XmlSkimmer::text(bool last) {
  const size_t open = buf_.find('<', at_ + scan_);
  const size_t end = open == std::string::npos ? buf_.size() : open;
  const size_t length = end - at_;
  if (dropping_ || textCut_ || deep()) {
    at_ = end;
  } else {
    const size_t allowed = limits_.longestText - std::min(textRun_, limits_.longestText);
    if (open == std::string::npos && !last && length <= allowed) {
      scan_ = length;
      return false;
    }
    const std::string_view text = std::string_view(buf_).substr(at_, length);
    if (length <= allowed) {
      give(text);
      textRun_ += length;
    } else {
      give(text.substr(0, cutAt(text, allowed, false)));
      textCut_ = true;
    }
    at_ = end;
  }
  scan_ = 0;
  if (open == std::string::npos) return false;
  state_ = State::Markup;
  return true;
}

bool XmlSkimmer::markup(bool last) {
  const std::string_view rest = std::string_view(buf_).substr(at_);
  // Enough to tell the kind of markup, and a programme's end tag from any other.
  if (rest.size() < (dropping_ ? 12 : kCDataOpen.size()) && !last) return false;
  scan_ = 0;
  quote_ = 0;
  brackets_ = 0;
  slash_ = false;
  attributes_ = kept_ = 0;
  over_ = false;
  keepMarkup_ = false;
  const char kind = rest.size() > 1 ? rest[1] : '\0';
  if (kind == '!' && startsWith(rest, "<!--")) {
    at_ += 4;
    state_ = State::Comment;
  } else if (kind == '!' && startsWith(rest, kCDataOpen)) {
    scan_ = kCDataOpen.size();
    state_ = State::CData;
  } else if (kind == '?') {
    // The XML declaration names the encoding; any other instruction goes.
    keepMarkup_ = firstMarkup_ && startsWith(rest, "<?xml") && rest.size() > 5 &&
                  kBlanks.find(rest[5]) != std::string_view::npos;
    scan_ = 2;
    state_ = State::Instruction;
  } else if (kind == '!') {
    scan_ = 2;
    state_ = State::Declaration;
  } else if (dropping_ && !(kind == '/' && startsWith(rest, "</programme") && rest.size() > 11 &&
                            kEndOfName.find(rest[11]) != std::string_view::npos)) {
    // No '<' may stand in an attribute's value, so a programme being dropped needs its tags
    // read no further than their first byte: only its end is sought.
    ++at_;
    state_ = State::Text;
  } else {
    scan_ = 1;
    state_ = State::Tag;
  }
  firstMarkup_ = false;
  return true;
}

bool XmlSkimmer::tag() {
  size_t i = at_ + scan_;
  const size_t size = buf_.size();
  while (i < size) {
    if (quote_) {
      const void* end = std::memchr(buf_.data() + i, quote_, size - i);
      if (!end) {
        i = size;
        break;
      }
      i = static_cast<size_t>(static_cast<const char*>(end) - buf_.data()) + 1;
      quote_ = 0;
      ++attributes_;
      if (!over_ && attributes_ <= limits_.mostAttributes && i - at_ <= limits_.longestTag) {
        kept_ = i - at_;
      }
      if (attributes_ > limits_.mostAttributes) passBound(i);
      continue;
    }
    const char c = buf_[i];
    if (c == '>') break;
    if (c == '"' || c == '\'') quote_ = c;
    slash_ = c == '/';
    ++i;
  }
  if (i - at_ + (i < size) > limits_.longestTag) passBound(i);
  if (i == buf_.size()) return awaitEnd();
  const bool selfClosing = slash_;
  if (over_) {
    head_ += selfClosing ? "/>" : ">";
    if (head_.size() > 2) endOfTag(head_, selfClosing);
    head_.clear();
    hooks_.cut(tagBounds());
  } else {
    endOfTag(std::string_view(buf_).substr(at_, i + 1 - at_), selfClosing);
  }
  at_ = i + 1;
  scan_ = 0;
  over_ = false;
  textRun_ = 0;
  textCut_ = false;
  state_ = State::Text;
  return true;
}

// Markup whose end is not in the bytes yet: past its bound its bytes go as they come, else what
// was looked through is not looked at again.
bool XmlSkimmer::awaitEnd() {
  if (over_) {
    at_ = buf_.size();
    scan_ = 0;
  } else {
    scan_ = buf_.size() - at_;
  }
  return false;
}

// Keeps the name and the attributes within the bounds; the rest of the tag goes.
void XmlSkimmer::passBound(size_t seenTo) {
  if (over_) return;
  over_ = true;
  const std::string_view seen = std::string_view(buf_).substr(at_, seenTo - at_);
  const size_t name = nameOf(seen).size();
  const size_t nameEnd = (seen.size() > 1 && seen[1] == '/' ? 2 : 1) + name;
  head_ = name == 0 || nameEnd >= seen.size()
              ? std::string()
              : std::string(seen.substr(0, std::max(kept_, nameEnd)));
}

std::string XmlSkimmer::tagBounds() const {
  return "a tag with more than " + std::to_string(limits_.mostAttributes) + " attributes or " +
         std::to_string(limits_.longestTag >> 10) + " KB";
}

void XmlSkimmer::endOfTag(std::string_view tag, bool selfClosing) {
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const bool programme = nameOf(tag) == "programme";
  if (dropping_) {
    dropping_ = !(closing && programme);
    if (!dropping_) --depth_;
    return;
  }
  const bool wasDeep = deep();
  if (closing) {
    depth_ -= depth_ > 0;
  } else if (!selfClosing) {
    ++depth_;
  }
  if (wasDeep || deep() || (selfClosing && depth_ >= limits_.deepest)) {
    if (!wasDeep && deep()) {
      hooks_.cut("elements nested more than " + std::to_string(limits_.deepest) + " deep");
    }
    return;
  }
  if (programme && !closing) {
    if (!flush()) return;
    if (hooks_.dropProgramme(tag)) {
      dropping_ = !selfClosing;
      return;
    }
  }
  give(tag);
}

bool XmlSkimmer::comment() {
  const size_t end = buf_.find("-->", at_);
  if (end == std::string::npos) {
    keepLast(2);
    return false;
  }
  at_ = end + 3;
  state_ = State::Text;
  return true;
}

// CDATA is text: it waits whole up to the text's bound, and past it is cut and closed.
bool XmlSkimmer::cdata(bool last) {
  if (!over_ && (dropping_ || textCut_ || deep())) {
    at_ += kCDataOpen.size();
    over_ = true;
  }
  if (over_) {
    const size_t end = buf_.find("]]>", at_);
    if (end == std::string::npos) {
      keepLast(2);
      return false;
    }
    at_ = end + 3;
    scan_ = 0;
    state_ = State::Text;
    over_ = false;
    return true;
  }
  const size_t end = buf_.find("]]>", at_ + scan_);
  const size_t contentFrom = at_ + kCDataOpen.size();
  // Without its end in sight, the last two bytes may begin it.
  const size_t length = end != std::string::npos        ? end - contentFrom
                        : buf_.size() - contentFrom > 2 ? buf_.size() - contentFrom - 2
                                                        : 0;
  const size_t allowed = limits_.longestText - std::min(textRun_, limits_.longestText);
  if (length > allowed) {
    const std::string_view content = std::string_view(buf_).substr(contentFrom, length);
    give(kCDataOpen);
    give(content.substr(0, cutAt(content, allowed, true)));
    give("]]>");
    textCut_ = true;
    at_ = contentFrom;
    over_ = true;
    return true;
  }
  if (end == std::string::npos) {
    if (last) return false;
    scan_ = std::max(kCDataOpen.size(), buf_.size() - at_ - std::min<size_t>(2, buf_.size() - at_));
    return false;
  }
  give(std::string_view(buf_).substr(at_, end + 3 - at_));
  textRun_ += length;
  at_ = end + 3;
  scan_ = 0;
  state_ = State::Text;
  return true;
}

bool XmlSkimmer::instruction() {
  const size_t end = buf_.find("?>", at_ + scan_);
  if (end == std::string::npos) {
    if (keepMarkup_ && buf_.size() - at_ <= 1024) {
      scan_ = buf_.size() - at_ - 1;
    } else {
      keepMarkup_ = false;
      keepLast(1);
      scan_ = 0;
    }
    return false;
  }
  if (keepMarkup_) give(std::string_view(buf_).substr(at_, end + 2 - at_));
  at_ = end + 2;
  scan_ = 0;
  state_ = State::Text;
  return true;
}

// A DOCTYPE, with the declarations in its brackets.
bool XmlSkimmer::declaration() {
  size_t i = at_ + scan_;
  for (; i < buf_.size(); ++i) {
    const char c = buf_[i];
    if (quote_) {
      if (c == quote_) quote_ = 0;
    } else if (c == '"' || c == '\'') {
      quote_ = c;
    } else if (c == '[') {
      ++brackets_;
    } else if (c == ']') {
      --brackets_;
    } else if (c == '>' && brackets_ <= 0) {
      break;
    }
  }
  const bool ended = i < buf_.size();
  if (!over_ && i + ended - at_ > limits_.longestTag) {
    over_ = true;
    hooks_.cut("a DOCTYPE over " + std::to_string(limits_.longestTag >> 10) + " KB");
  }
  if (!ended) return awaitEnd();
  if (!over_ && !dropping_) give(std::string_view(buf_).substr(at_, i + 1 - at_));
  at_ = i + 1;
  scan_ = 0;
  over_ = false;
  state_ = State::Text;
  return true;
}

// Where text cut near limit ends: never inside a character, nor inside a reference such as
// "&amp;" (except in CDATA, which has none).
size_t XmlSkimmer::cutAt(std::string_view text, size_t limit, bool inMarkup) const {
  size_t cut = std::min(limit, text.size());
  if (utf8_) {
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
      --cut;
    }
  } else {
    while (cut > 0 && static_cast<unsigned char>(text[cut - 1]) >= 0x80) --cut;
  }
  if (inMarkup) return cut;
  size_t name = cut;
  while (name > 0 && entityByte(text[name - 1])) --name;
  if (name > 0 && text[name - 1] == '&') cut = name - 1;
  return cut;
}

void XmlSkimmer::keepLast(size_t count) {
  at_ = std::max(at_, buf_.size() - std::min(count, buf_.size()));
}

void XmlSkimmer::give(std::string_view bytes) {
  if (!stopped_) out_.append(bytes);
}

bool XmlSkimmer::flush() {
  if (!stopped_ && !out_.empty() && !hooks_.take(out_)) stopped_ = true;
  out_.clear();
  return !stopped_;
}

}  // namespace zelvo
