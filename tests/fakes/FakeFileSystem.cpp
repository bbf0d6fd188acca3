#include "fakes/FakeFileSystem.h"

#include "platform/Failure.h"

namespace zelvo::test {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash == std::string::npos ? 0 : slash);
}

}  // namespace

void FakeFileSystem::makeFolders(const std::string& path) {
  for (std::string folder = path; !folder.empty() && folder != "/"; folder = folderOf(folder)) {
    if (files.count(folder)) fail("a file holds " + folder);
    folders.insert(folder);
  }
}

bool FakeFileSystem::exists(const std::string& path) {
  return files.count(path) > 0 || folders.count(path) > 0;
}

void FakeFileSystem::createEmptyFile(const std::string& path) {
  const std::string folder = folderOf(path);
  if (!folders.count(folder) || readOnly.count(folder)) fail("cannot make " + path);
  files[path].clear();
}

uintmax_t FakeFileSystem::fileSize(const std::string& path) {
  auto file = files.find(path);
  if (file == files.end()) fail("no file " + path);
  return file->second.size();
}

void FakeFileSystem::rename(const std::string& from, const std::string& to) {
  auto file = files.find(from);
  if (file == files.end() || readOnly.count(folderOf(to))) fail("cannot rename " + from);
  files[to] = file->second;
  files.erase(from);
}

void FakeFileSystem::remove(const std::string& path) {
  if (readOnly.count(folderOf(path))) fail("cannot remove " + path);
  files.erase(path);
}

std::vector<std::string> FakeFileSystem::filesIn(const std::string& folder) const {
  std::vector<std::string> names;
  for (const auto& [path, bytes] : files) {
    if (folderOf(path) == folder) names.push_back(path.substr(folder.size() + 1));
  }
  return names;
}

}  // namespace zelvo::test
