// The one way a module is loaded: a slot that opens the module (on a worker thread when asked to
// preload), makes its part on the caller's thread when first needed, and keeps it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/ModuleEntries.h"
#include "platform/Steps.h"
#include "platform/posix/ModuleLibrary.h"

namespace zelvo {

// Part: what the module's entry makes and the slot owns. Contract: what its users work on, the
// part itself or, for a part with a widget, the component it holds.
template <class Contract, class Part = Contract>
class ModuleSlot {
 public:
  // Makes the part from the module's entry point; null when it could not be made.
  using Make = std::function<Part*(void* entry)>;

  ModuleSlot(const ModuleName& module, Make make)
      : module_(module), make_(std::move(make)), opening_(module.file, module.entry) {}
  ModuleSlot(const ModuleSlot&) = delete;
  ModuleSlot& operator=(const ModuleSlot&) = delete;

  const ModuleName& module() const { return module_; }
  // Starts opening the module in the background.
  void preload() { opening_.begin(); }
  bool up() const { return part_ != nullptr; }
  Part* part() const { return part_.get(); }
  // Why the module cannot be had, once tried; empty before, and while it is up.
  const std::string& problem() const { return problem_; }

  // The component, made now if need be; null when the module cannot be had, after onUnavailable
  // has heard why (on every call, so that each use that needed it can say so).
  Contract* tryGet() {
    if (part_) return &contractOf(*part_);
    // A handler that runs while the part is being made finds it not there yet.
    if (making_) return nullptr;
    if (problem_.empty()) {
      const ModuleEntry& entry = opening_.entry();
      making_ = true;
      Part* part = nullptr;
      if (entry.function) step([&] { part = make_(entry.function); });
      making_ = false;
      if (part) {
        part_.reset(part);
      } else {
        problem_ =
            entry.function ? std::string(module_.provides) + " did not start" : entry.problem;
      }
    }
    if (!part_) {
      if (onUnavailable) onUnavailable(problem_);
      return nullptr;
    }
    if (onMade) onMade(*part_);
    Contract& component = contractOf(*part_);
    if (onUp) onUp(component);
    auto settings = std::move(earlySettings_);
    earlySettings_.clear();
    for (auto& setting : settings) step([&] { setting(component); });
    return &component;
  }

  // The component, made now if need be. Throws PlatformFailure when it cannot be had.
  Contract& get() {
    if (Contract* component = tryGet()) return *component;
    fail(making_ ? std::string(module_.provides) + " is starting" : problem_);
  }

  // A setting for the component: applied now when it is up, otherwise when it comes up.
  void apply(std::function<void(Contract&)> setting) {
    if (part_) {
      setting(contractOf(*part_));
    } else {
      earlySettings_.push_back(std::move(setting));
    }
  }

  // Deletes the part; its code stays mapped, since modules are never unloaded.
  void reset() { part_.reset(); }

  // Run once, right after the part is made: onMade with the part, then onUp with the component,
  // both before the settings given earlier.
  std::function<void(Part&)> onMade;
  std::function<void(Contract&)> onUp;
  std::function<void(const std::string& problem)> onUnavailable;

 private:
  static Contract& contractOf(Part& part) {
    if constexpr (std::is_same_v<Contract, Part>) {
      return part;
    } else {
      return part.contract();
    }
  }

  ModuleName module_;
  Make make_;
  ModuleOpening opening_;
  std::unique_ptr<Part> part_;
  std::string problem_;
  bool making_ = false;
  std::vector<std::function<void(Contract&)>> earlySettings_;
};

// The part of a module whose entry is a function its user calls as it needs (the window's run,
// the probe makers).
template <class Function>
struct EntryFunction {
  Function* call;
};

template <class Function>
class EntrySlot : public ModuleSlot<EntryFunction<Function>> {
 public:
  explicit EntrySlot(const ModuleName& module)
      : ModuleSlot<EntryFunction<Function>>(module, [](void* entry) {
          return new EntryFunction<Function>{reinterpret_cast<Function*>(entry)};
        }) {}
};

}  // namespace zelvo
