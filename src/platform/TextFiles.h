// The text-file service: GBK (code page 936) text with CR LF line ends, converted to and
// from UTF-8 at this boundary. Every operation that cannot be done throws PlatformFailure.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelvo {

// One line of a file, both as the text readLine() gives and as the bytes the file holds.
struct FileLine {
  std::string text;
  std::string bytes;  // without the line end
};

class TextReader {
 public:
  virtual ~TextReader() = default;
  // One line without its line end; fails at the end of the stream or when reading fails.
  virtual std::string readLine() = 0;
  // The next line as text and as its bytes, never cut short, so that a line in any encoding
  // can be written back unchanged. Fails like readLine().
  virtual FileLine readLineAndBytes() = 0;
  // The whole rest of the stream.
  virtual std::string readAll() = 0;
  // The whole rest of the stream as text and as the bytes the file holds.
  virtual FileLine readAllAndBytes() = 0;
  virtual bool atEndOfStream() const = 0;
  // True when the next character is a line end or the stream has ended.
  virtual bool atEndOfLine() const = 0;
  virtual void close() = 0;
};

// The reader's lines one at a time, false once the stream has ended: how a station file walk
// takes its lines.
inline std::function<bool(std::string&)> linesOf(TextReader& reader) {
  return [&reader](std::string& line) {
    if (reader.atEndOfStream()) return false;
    line = reader.readLine();
    return true;
  };
}

class TextWriter {
 public:
  virtual ~TextWriter() = default;
  // Writes the text followed by CR LF. Characters the station files cannot hold
  // (only broken UTF-8 and lone surrogates: they are GB18030) are written as "?".
  virtual void writeLine(const std::string& text) = 0;
  // Writes the bytes as they are, followed by CR LF: a line that readLineAndBytes() gave goes
  // back byte for byte.
  virtual void writeBytesLine(const std::string& bytes) = 0;
  // Writes the bytes as they are, without a line end.
  virtual void writeBytes(const std::string& bytes) = 0;
  // Makes the file complete. A writer that is destroyed without close() leaves the old file.
  virtual void close() = 0;
};

struct FolderEntry {
  std::string name;
  std::string path;
};

// Files are replaced whole: the new content is written beside the old file and takes its place
// only when complete. The new file keeps the old one's permission bits (and owner and group
// where the process may set them); through a symbolic link the file it points to is replaced
// and the link stays. A read-only file is left as it is and the replacement fails, as writing
// into it would. A new file gets the permissions the umask gives.
class TextFileService {
 public:
  virtual ~TextFileService() = default;
  virtual bool fileExists(const std::string& path) = 0;
  // Fails when the file is missing or cannot be read. Invalid bytes read as U+FFFD.
  virtual std::unique_ptr<TextReader> openForReading(const std::string& path) = 0;
  // A new file that replaces the old one only when closed.
  virtual std::unique_ptr<TextWriter> createTextFile(const std::string& path) = 0;
  virtual void copyFile(const std::string& source, const std::string& destination) = 0;
  // The files of a folder (not its sub-folders); fails when the folder is missing.
  virtual std::vector<FolderEntry> listFiles(const std::string& folder) = 0;
  // The text as a line written by writeLine() reads back: what the files cannot hold is "?".
  virtual std::string textAsStored(const std::string& text) = 0;
};

}  // namespace zelvo
