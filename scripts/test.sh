#!/usr/bin/env bash
# Installs what is missing, builds from scratch, and runs the whole test suite with ctest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
rm -rf "$root/build-test"
# The benchmarks and probes are not tests; the test build leaves them out, and it carries no
# debug information, which takes a quarter of the compile time and more of the linking.
"$root/scripts/build.sh" "$root/build-test" -DZELVO_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
cd "$root/build-test"
# Most integration tests wait on players, servers and timeouts rather than compute: three at a
# time keep two cores busy.
ctest --output-on-failure --timeout 300 -j3
