#!/usr/bin/env bash
# Configures and builds Zelvo into build/ (or the folder given as first argument).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
# The test programs use precompiled headers, which ccache caches only with these allowances.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
cmake --build "$build" -j"$(nproc)"
