// ASX playlists: each <entry> gives a station from its first <ref href>, named by its <title>;
// an <entryref href> is a station of its own. Tags and attributes in any letter case, XML
// entities decoded; a file cut short keeps what it completed.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/PlaylistFormats.h"
#include "formats/PlaylistReader.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The character an entity stands for, appended to out; false when it is none.
bool appendEntity(std::string_view entity, std::string& out) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& [name, ch] : kNamed) {
    if (entity == name) {
      out += ch;
      return true;
    }
  }
  if (entity.size() < 2 || entity[0] != '#') return false;
  const bool hex = entity[1] == 'x' || entity[1] == 'X';
  const std::string_view digits = entity.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t cp = 0;
  for (char ch : digits) {
    int digit;
    if (ch >= '0' && ch <= '9')
      digit = ch - '0';
    else if (hex && ch >= 'a' && ch <= 'f')
      digit = ch - 'a' + 10;
    else if (hex && ch >= 'A' && ch <= 'F')
      digit = ch - 'A' + 10;
    else
      return false;
    cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  appendUtf8(out, cp);
  return true;
}

// Text with its entities decoded; an entity that is none stays as it stands.
std::string decodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, amp - i));
    const size_t semicolon = text.find(';', amp + 1);
    if (semicolon != std::string_view::npos && semicolon - amp <= 12 &&
        appendEntity(text.substr(amp + 1, semicolon - amp - 1), out)) {
      i = semicolon + 1;
    } else {
      out += '&';
      i = amp + 1;
    }
  }
  return out;
}

struct Tag {
  std::string name;  // in lower case
  bool closing = false;
  std::string_view attributes;
};

Tag readTag(std::string_view inside) {
  Tag tag;
  size_t i = 0;
  if (i < inside.size() && inside[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const size_t nameStart = i;
  while (i < inside.size() && inside[i] != '/' &&
         !std::isspace(static_cast<unsigned char>(inside[i])))
    ++i;
  tag.name = toLowerAscii(std::string(inside.substr(nameStart, i - nameStart)));
  tag.attributes = inside.substr(i);
  return tag;
}

// The decoded value of an attribute, quoted or not, its name in any letter case.
std::string attribute(std::string_view attributes, std::string_view lowerName) {
  size_t i = 0;
  while (i < attributes.size()) {
    while (i < attributes.size() &&
           (std::isspace(static_cast<unsigned char>(attributes[i])) || attributes[i] == '/'))
      ++i;
    const size_t nameStart = i;
    while (i < attributes.size() && attributes[i] != '=' &&
           !std::isspace(static_cast<unsigned char>(attributes[i])))
      ++i;
    const std::string name = toLowerAscii(std::string(attributes.substr(nameStart, i - nameStart)));
    while (i < attributes.size() && std::isspace(static_cast<unsigned char>(attributes[i]))) ++i;
    if (i >= attributes.size() || attributes[i] != '=') {
      if (i == nameStart) ++i;
      continue;
    }
    ++i;
    while (i < attributes.size() && std::isspace(static_cast<unsigned char>(attributes[i]))) ++i;
    std::string_view value;
    if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
      const size_t close = attributes.find(attributes[i], i + 1);
      const size_t end = close == std::string_view::npos ? attributes.size() : close;
      value = attributes.substr(i + 1, end - i - 1);
      i = end + 1;
    } else {
      const size_t start = i;
      while (i < attributes.size() && !std::isspace(static_cast<unsigned char>(attributes[i]))) ++i;
      value = attributes.substr(start, i - start);
    }
    if (name == lowerName) return decodeEntities(value);
  }
  return {};
}

// The end of a tag that starts at open: the first ">" outside quotes, or npos.
size_t tagEnd(std::string_view text, size_t open) {
  char quote = 0;
  for (size_t i = open + 1; i < text.size(); ++i) {
    const char ch = text[i];
    if (quote) {
      if (ch == quote) quote = 0;
    } else if (ch == '"' || ch == '\'') {
      quote = ch;
    } else if (ch == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

size_t skipPast(std::string_view text, size_t from, std::string_view end) {
  const size_t found = text.find(end, from);
  return found == std::string_view::npos ? text.size() : found + end.size();
}

// Walks the markup of text: the text before each tag, CDATA included, goes to onText, each tag
// to onTag; comments, declarations and processing instructions are skipped. Stops when onTag
// returns false, or at a tag cut short.
template <class OnText, class OnTag>
void walkMarkup(std::string_view text, OnText&& onText, OnTag&& onTag) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('<', at);
    if (open == std::string_view::npos) break;
    onText(text.substr(at, open - at));
    if (text.compare(open, 4, "<!--") == 0) {
      at = skipPast(text, open, "-->");
    } else if (text.compare(open, 9, "<![CDATA[") == 0) {
      const size_t end = text.find("]]>", open);
      onText(text.substr(open + 9, std::min(end, text.size()) - open - 9));
      at = skipPast(text, open, "]]>");
    } else if (text.compare(open, 2, "<?") == 0 || text.compare(open, 2, "<!") == 0) {
      at = skipPast(text, open, ">");
    } else {
      const size_t close = tagEnd(text, open);
      if (close == std::string_view::npos) break;
      if (!onTag(readTag(text.substr(open + 1, close - open - 1)), open)) break;
      at = close + 1;
    }
  }
}

class AsxWalk {
 public:
  AsxWalk(std::string_view text, EntryCollector& entries) : text_(text), entries_(entries) {}

  void run() {
    walkMarkup(
        text_,
        [this](std::string_view text) {
          if (inTitle_) title_.append(text);
        },
        [this](const Tag& tag, size_t position) {
          onTag(tag, position);
          return true;
        });
    if (inEntry_) finishEntry();
  }

 private:
  int lineAt(size_t position) {
    for (; counted_ < position; ++counted_)
      if (text_[counted_] == '\n') ++line_;
    return line_;
  }

  void onTag(const Tag& tag, size_t position) {
    if (tag.name == "entry") {
      if (inEntry_) finishEntry();
      inEntry_ = !tag.closing && !tag.attributes.ends_with('/');
      href_.clear();
      entryTitle_.clear();
      hrefLine_ = entryLine_ = lineAt(position);
    } else if (tag.name == "ref" && inEntry_ && !tag.closing && href_.empty()) {
      href_ = attribute(tag.attributes, "href");
      hrefLine_ = lineAt(position);
    } else if (tag.name == "entryref" && !tag.closing) {
      entries_.add({}, {}, {}, attribute(tag.attributes, "href"), lineAt(position));
    } else if (tag.name == "title" && inEntry_) {
      if (!tag.closing && !tag.attributes.ends_with('/')) {
        inTitle_ = true;
        title_.clear();
      } else if (tag.closing && inTitle_) {
        inTitle_ = false;
        entryTitle_ = decodeEntities(title_);
      }
    }
  }

  void finishEntry() {
    inEntry_ = false;
    inTitle_ = false;
    if (href_.empty())
      entries_.titleWithoutAddress(entryTitle_, entryLine_);
    else
      entries_.add(entryTitle_, {}, {}, href_, hrefLine_);
  }

  std::string_view text_;
  EntryCollector& entries_;
  bool inEntry_ = false;
  bool inTitle_ = false;
  std::string href_;
  std::string title_;
  std::string entryTitle_;
  int hrefLine_ = 0;
  int entryLine_ = 0;
  size_t counted_ = 0;
  int line_ = 1;
};

}  // namespace

void readAsx(std::string_view text, EntryCollector& entries) { AsxWalk(text, entries).run(); }

std::optional<std::string> firstAsxReference(std::string_view text) {
  std::optional<std::string> found;
  walkMarkup(
      text, [](std::string_view) {},
      [&found](const Tag& tag, size_t) {
        if (tag.name != "ref" || tag.closing) return true;
        std::string href = attribute(tag.attributes, "href");
        if (trimBlanks(href).empty()) return true;
        found = std::move(href);
        return false;
      });
  return found;
}

}  // namespace zelvo
