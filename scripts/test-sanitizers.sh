#!/usr/bin/env bash
# Builds the behaviour tests under AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$root/build-asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVO_SANITIZE=ON \
  -DZELVO_BEHAVIOUR_ONLY=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$build" -j"$(nproc)"
cd "$build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure --timeout 300 -j2 -L behaviour
