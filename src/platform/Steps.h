// The continue-on-error idiom: every step of a handler runs on its own.
// step() absorbs a failing step; guard() reads a test that cannot be evaluated as passed.
#pragma once

#include <stdexcept>
#include <utility>

#include "platform/Failure.h"

namespace zelvo {

// Runs one step. A platform failure, a failed conversion or an out-of-range access
// skips the step and the caller goes on. Returns whether the step completed.
template <class Step>
bool step(Step&& body) {
  try {
    std::forward<Step>(body)();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Evaluates a condition; a condition that fails to evaluate counts as passed.
template <class Condition>
bool guard(Condition&& test) {
  try {
    return static_cast<bool>(std::forward<Condition>(test)());
  } catch (const std::exception&) {
    return true;
  }
}

}  // namespace zelvo
