#include "platform/posix/ModuleLibrary.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zelvo {

namespace {

constexpr const char* kSuffix = ".so";

std::string programFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : program.parent_path().string();
}

}  // namespace

std::string moduleFolder() {
  if (const char* chosen = std::getenv("ZELVO_MODULE_DIR"); chosen && *chosen) return chosen;
  const std::string folder = programFolder();
  std::error_code error;
  // The window module is in every build tree that built the program.
  if (std::filesystem::exists(folder + "/window" + kSuffix, error)) return folder;
  // An installed tree keeps this path from the program's folder wherever it is moved to.
  return folder + "/" ZELVO_MODULES_FROM_PROGRAM;
}

ModuleLibrary::ModuleLibrary(const std::string& name)
    : path_(moduleFolder() + "/" + name + kSuffix) {
  // Opening the same module again only hands back the handle of the first opening.
  handle_ = ::dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = ::dlerror();
    problem_ = why ? why : path_ + ": cannot be opened";
  }
}

void* ModuleLibrary::entry(const char* symbol) {
  if (!handle_) return nullptr;
  ::dlerror();
  void* found = ::dlsym(handle_, symbol);
  if (!found) {
    const char* why = ::dlerror();
    problem_ = path_ + ": " + (why ? why : std::string("no ") + symbol);
  }
  return found;
}

ModuleEntry openModuleEntry(const std::string& module, const char* symbol) {
  ModuleLibrary library(module);
  ModuleEntry entry;
  entry.function = library.entry(symbol);
  if (!entry.function) entry.problem = library.problem();
  return entry;
}

ModuleOpening::~ModuleOpening() {
  // The worker only maps libraries; the process must not end under it.
  if (pending_.valid()) pending_.wait();
}

void ModuleOpening::begin() {
  if (entry_ || pending_.valid()) return;
  try {
    pending_ = std::async(std::launch::async, openModuleEntry, module_, symbol_);
  } catch (const std::system_error&) {
    // No thread to spare: entry() opens it when it is needed.
  }
}

const ModuleEntry& ModuleOpening::entry() {
  if (!entry_) entry_ = pending_.valid() ? pending_.get() : openModuleEntry(module_, symbol_);
  return *entry_;
}

}  // namespace zelvo
