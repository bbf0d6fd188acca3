// Opens the program's modules: shared libraries that the program loads when it first needs them.
// They lie beside the program in a build tree and under lib/zelvo once installed.
#pragma once

#include <future>
#include <optional>
#include <string>
#include <utility>

namespace zelvo {

// The folder the modules are taken from: ZELVO_MODULE_DIR when set, otherwise the program's own
// folder when it holds modules, otherwise the installed modules' folder reached from it.
std::string moduleFolder();

// A module's entry point, or why it cannot be had.
struct ModuleEntry {
  void* function = nullptr;
  std::string problem;
};

// Opens the module named module ("vlc-player") from moduleFolder() for the rest of the process,
// and finds its entry point symbol; never throws. Modules are never unloaded, since their
// engines keep threads and callbacks that outlive any object.
ModuleEntry openModuleEntry(const std::string& module, const char* symbol);

// A module opened on a worker thread, so that the loader maps an engine and its many libraries
// while the caller goes on; the caller takes the entry on its own thread when it needs it.
class ModuleOpening {
 public:
  ModuleOpening(std::string module, const char* symbol)
      : module_(std::move(module)), symbol_(symbol) {}
  ~ModuleOpening();
  ModuleOpening(const ModuleOpening&) = delete;
  ModuleOpening& operator=(const ModuleOpening&) = delete;

  // Starts opening in the background; does nothing when it has started already.
  void begin();
  // Waits for the opening begun, or opens here when none was.
  const ModuleEntry& entry();

 private:
  std::string module_;
  const char* symbol_;
  std::future<ModuleEntry> pending_;
  std::optional<ModuleEntry> entry_;
};

}  // namespace zelvo
