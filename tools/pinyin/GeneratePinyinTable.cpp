// Writes the C++ table of pinyin initials from go-pinyin's dictionary (pinyin_dict.go, lines
// like `0x91CD: "zhòng,chóng,tóng",`): per character the set of first letters of its readings.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "formats/PinyinTable.h"

namespace {

// The first letter of a reading, its tone mark dropped (readings such as "ǎi", "ń" or "ê̄"
// start with a marked letter). 0 for a letter this tool does not know.
char baseLetter(const std::string& reading) {
  if (reading.empty()) return 0;
  const unsigned char first = static_cast<unsigned char>(reading[0]);
  if (first >= 'a' && first <= 'z') return static_cast<char>(first);
  if (first >= 'A' && first <= 'Z') return static_cast<char>(first - 'A' + 'a');
  static const std::map<std::string, char> marked = {
      {"à", 'a'}, {"á", 'a'}, {"â", 'a'}, {"ā", 'a'}, {"ǎ", 'a'}, {"è", 'e'}, {"é", 'e'},
      {"ê", 'e'}, {"ē", 'e'}, {"ě", 'e'}, {"ế", 'e'}, {"ề", 'e'}, {"ì", 'i'}, {"í", 'i'},
      {"ī", 'i'}, {"ǐ", 'i'}, {"ò", 'o'}, {"ó", 'o'}, {"ô", 'o'}, {"ō", 'o'}, {"ǒ", 'o'},
      {"ù", 'u'}, {"ú", 'u'}, {"ū", 'u'}, {"ǔ", 'u'}, {"ü", 'u'}, {"ǖ", 'u'}, {"ǘ", 'u'},
      {"ǚ", 'u'}, {"ǜ", 'u'}, {"ń", 'n'}, {"ň", 'n'}, {"ǹ", 'n'}, {"ḿ", 'm'}};
  for (const auto& [letter, base] : marked) {
    if (reading.compare(0, letter.size(), letter) == 0) return base;
  }
  return 0;
}

// Splits a line of the map, `0x91CD: "zhòng,chóng,tóng",`, into its hex digits and its text.
bool parseEntry(const std::string& line, std::string& hex, std::string& quoted) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, 2, "0x") != 0) return false;
  const size_t colon = line.find(':', start);
  const size_t open = line.find('"', start);
  const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
  if (colon == std::string::npos || close == std::string::npos || colon > open) return false;
  hex = line.substr(start + 2, colon - start - 2);
  if (hex.empty() || hex.size() > 6 ||
      hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  quoted = line.substr(open + 1, close - open - 1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zelvo_pinyin_table pinyin_dict.go output.cpp\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "zelvo_pinyin_table: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::map<std::uint32_t, std::uint32_t> initials;  // code point -> mask of letters
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::string hex, quoted;
    if (!parseEntry(line, hex, quoted)) continue;
    const auto codePoint = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
    std::uint32_t mask = 0;
    std::stringstream readings(quoted);
    std::string reading;
    while (std::getline(readings, reading, ',')) {
      const char letter = baseLetter(reading);
      if (letter == 0) {
        std::cerr << argv[1] << ":" << lineNumber << ": unknown first letter in '" << reading
                  << "'\n";
        return 1;
      }
      mask |= 1u << (letter - 'a');
    }
    if (codePoint > 0x10FFFF || mask == 0) {
      std::cerr << argv[1] << ":" << lineNumber << ": bad entry\n";
      return 1;
    }
    initials[codePoint] |= mask;
  }
  // A dictionary of another shape would give a table too small to cover GB2312.
  if (initials.size() < 20000) {
    std::cerr << argv[1] << ": only " << initials.size() << " characters read\n";
    return 1;
  }

  std::set<std::uint32_t> distinct;
  for (const auto& [codePoint, mask] : initials) distinct.insert(mask);
  const std::vector<std::uint32_t> masks(distinct.begin(), distinct.end());
  if (masks.size() > (1u << zelvo::pinyin_table::kMaskIndexBits)) {
    std::cerr << argv[1] << ": too many distinct sets of initials (" << masks.size() << ")\n";
    return 1;
  }

  // The entries, then the sets, then zeros up to a whole number of blocks (see PinyinTable.h).
  std::vector<std::uint32_t> words;
  for (const auto& [codePoint, mask] : initials) {
    const auto index = std::lower_bound(masks.begin(), masks.end(), mask) - masks.begin();
    words.push_back((codePoint << zelvo::pinyin_table::kMaskIndexBits) |
                    static_cast<std::uint32_t>(index));
  }
  words.insert(words.end(), masks.begin(), masks.end());
  const size_t blockWords = zelvo::pinyin_table::kBlockBytes / sizeof(std::uint32_t);
  const size_t tableWords = (words.size() + blockWords - 1) / blockWords * blockWords;

  std::ostringstream out;
  out << "// The pinyin initials of " << initials.size()
      << " characters, written by tools/pinyin from go-pinyin's\n// pinyin_dict.go; do not edit.\n"
      << "#include \"formats/PinyinTable.h\"\n\nnamespace zelvo::pinyin_table {\n\n"
      << "extern const std::uint32_t kEntryCount = " << initials.size() << ";\n"
      << "extern const std::uint32_t kMaskCount = " << masks.size() << ";\n"
      << "extern const std::uint32_t kTableWords = " << tableWords << ";\n"
      << "alignas(kBlockBytes) extern const std::uint32_t kTable[" << tableWords << "] = {";
  for (size_t i = 0; i < words.size(); ++i) out << (i % 8 ? " " : "\n    ") << words[i] << "u,";
  out << "\n};\n\n}  // namespace zelvo::pinyin_table\n";

  const std::string temporary = std::string(argv[2]) + ".tmp";
  std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
  file << out.str();
  file.close();
  if (!file || std::rename(temporary.c_str(), argv[2]) != 0) {
    std::cerr << "zelvo_pinyin_table: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
