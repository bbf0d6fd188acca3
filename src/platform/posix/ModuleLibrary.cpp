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

ModuleEntry openModuleEntry(const std::string& module, const char* symbol) {
  const std::string path = moduleFolder() + "/" + module + kSuffix;
  ModuleEntry entry;
  // Opening the same module again only hands back the handle of the first opening.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    entry.problem = why ? why : path + ": cannot be opened";
    return entry;
  }
  ::dlerror();
  entry.function = ::dlsym(handle, symbol);
  if (!entry.function) {
    const char* why = ::dlerror();
    entry.problem = path + ": " + (why ? why : std::string("no ") + symbol);
  }
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
