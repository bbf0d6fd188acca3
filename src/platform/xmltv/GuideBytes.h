// Makes a guide's bytes fit for the XML reader as they stream in: drops the control characters
// XML forbids and, in a UTF-8 guide, puts U+FFFD for each byte that is not UTF-8, alike however
// the bytes are cut into pieces.
#pragma once

#include <cstddef>
#include <string>

namespace zelvo {

class GuideBytes {
 public:
  // Whether the guide is UTF-8; a guide in another encoding only loses its control characters.
  void setUtf8(bool utf8) { utf8_ = utf8; }
  // Appends to out what the bytes make; a character cut at the end waits for the next piece.
  void append(const char* data, size_t size, std::string& out);
  // The guide ended: a character it left unfinished is not UTF-8.
  void finish(std::string& out);

 private:
  void mend(const unsigned char* data, size_t size, std::string& out, bool last);

  bool utf8_ = true;
  std::string carry_;  // the start of a character the next piece ends
};

// Whether the XML declaration at the start of head names no encoding, or a UTF-8 one.
bool declaresUtf8(const std::string& head);

}  // namespace zelvo
