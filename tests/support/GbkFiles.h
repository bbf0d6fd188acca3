// Station files as the program keeps them on disk, GBK with CR LF line ends: tests write them
// from UTF-8 and read them back as UTF-8.
#pragma once

#include <string>
#include <vector>

namespace zelvo::test {

// Replaces the file with the lines, each encoded as GBK and ended by CR LF.
void writeGbkLines(const std::string& path, const std::vector<std::string>& lines);
// Replaces the file with the text encoded as GBK, line ends as given.
void writeGbkText(const std::string& path, const std::string& text);

// The file decoded from GBK; empty when it cannot be read.
std::string readGbkText(const std::string& path);
// The file's lines decoded from GBK, without their line ends.
std::vector<std::string> readGbkLines(const std::string& path);

}  // namespace zelvo::test
