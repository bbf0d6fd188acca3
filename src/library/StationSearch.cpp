// The station search: each name is folded once (blanks dropped, letter case and full width
// folded) and given its row of initials; a keystroke then compares bytes and bit masks only.
#include "library/StationSearch.h"

#include <cstdint>

#include "formats/PinyinInitials.h"

namespace zelvo {

// One bit per symbol a row of initials can hold: the letters a-z (bits 0-25, as the pinyin
// table gives them), then the digits 0-9.
using Symbols = std::uint64_t;

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point at text[i], advancing i past it. Bytes that do not form a valid UTF-8
// character read as one U+FFFD each.
char32_t nextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, least = 0x10000;
  }
  if (length == 0 || i + length > text.size()) {
    ++i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += length;
  return value;
}

void appendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isBlank(char32_t c) { return c == ' ' || c == '\t' || c == 0xA0 || c == 0x3000; }

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Upper-case letters to lower case, and full-width letters and digits to their ASCII forms.
char32_t fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
  if (c >= 0xFF21 && c <= 0xFF3A) return c - 0xFF21 + 'a';
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0xFF41 + 'a';
  if (c >= 0xFF10 && c <= 0xFF19) return c - 0xFF10 + '0';
  return c;
}

// The symbol a folded letter or digit stands for in a row of initials; 0 for anything else.
Symbols symbolOf(char32_t folded) {
  if (folded >= 'a' && folded <= 'z') return Symbols{1} << (folded - 'a');
  if (folded >= '0' && folded <= '9') return Symbols{1} << (26 + folded - '0');
  return 0;
}

// What the user typed, folded like the names. A text of letters, digits and blanks alone may
// also match by initials: one symbol per letter or digit.
struct Query {
  bool matchesAll = false;
  bool matchesNone = false;
  std::string folded;
  bool byInitials = true;
  std::vector<Symbols> initials;
};

Query prepareQuery(std::string_view text) {
  Query query;
  for (size_t i = 0; i < text.size();) {
    const char32_t c = nextCodePoint(text, i);
    if (isBlank(c)) continue;
    if (isControl(c)) {
      query.matchesNone = true;
      return query;
    }
    const char32_t folded = fold(c);
    appendUtf8(folded, query.folded);
    const Symbols symbol = symbolOf(folded);
    if (symbol == 0) query.byInitials = false;
    query.initials.push_back(symbol);
  }
  query.matchesAll = query.folded.empty();
  return query;
}

// Appends the name, folded, to folded, and its row of initials to initials.
void prepareName(std::string_view name, std::string& folded, std::vector<Symbols>& initials) {
  for (size_t i = 0; i < name.size();) {
    const char32_t c = nextCodePoint(name, i);
    if (isBlank(c)) continue;
    const char32_t letter = fold(c);
    appendUtf8(letter, folded);
    Symbols symbols = symbolOf(letter);
    if (symbols == 0) symbols = pinyinInitials(c);
    if (symbols != 0) initials.push_back(symbols);
  }
}

bool matches(std::string_view folded, const Symbols* initials, size_t initialsCount,
             const Query& query) {
  if (query.matchesNone) return false;
  if (query.matchesAll) return true;
  if (folded.find(query.folded) != std::string_view::npos) return true;
  if (!query.byInitials || query.initials.size() > initialsCount) return false;
  for (size_t k = 0; k < query.initials.size(); ++k) {
    if ((initials[k] & query.initials[k]) == 0) return false;
  }
  return true;
}

}  // namespace

bool stationNameMatches(std::string_view name, std::string_view text) {
  std::string folded;
  std::vector<Symbols> initials;
  prepareName(name, folded, initials);
  return matches(folded, initials.data(), initials.size(), prepareQuery(text));
}

void StationSearch::setNames(const std::vector<std::string_view>& names) {
  folded_.clear();
  initials_.clear();
  foldedEnds_.clear();
  initialsEnds_.clear();
  foldedEnds_.reserve(names.size());
  initialsEnds_.reserve(names.size());
  // A folded name is about as long as the name; a Chinese character takes three bytes and
  // gives one row of initials.
  std::size_t bytes = 0;
  for (std::string_view name : names) bytes += name.size();
  folded_.reserve(bytes);
  initials_.reserve(bytes / 2);
  for (std::string_view name : names) {
    prepareName(name, folded_, initials_);
    foldedEnds_.push_back(folded_.size());
    initialsEnds_.push_back(initials_.size());
  }
}

std::vector<int> StationSearch::find(std::string_view text) const {
  const Query query = prepareQuery(text);
  std::vector<int> found;
  std::size_t foldedStart = 0;
  std::size_t initialsStart = 0;
  for (size_t i = 0; i < foldedEnds_.size(); ++i) {
    const std::string_view folded(folded_.data() + foldedStart, foldedEnds_[i] - foldedStart);
    if (matches(folded, initials_.data() + initialsStart, initialsEnds_[i] - initialsStart,
                query)) {
      found.push_back(static_cast<int>(i));
    }
    foldedStart = foldedEnds_[i];
    initialsStart = initialsEnds_[i];
  }
  return found;
}

}  // namespace zelvo
