#!/usr/bin/env bash
# Times the real program's start-up offscreen with a 32,767-row library (a few runs).
set -euo pipefail
build="${1:-$(cd "$(dirname "$0")/.." && pwd)/build}"
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
python3 - "$folder/tv_lib.txt" <<'PY'
import sys
lines = [f"电视台 {i},http://example.test/live/{i}.m3u8,{-i},假,假" for i in range(32767)] + ["end"]
open(sys.argv[1], "wb").write("".join(l + "\r\n" for l in lines).encode("gbk"))
PY
export XDG_RUNTIME_DIR="$folder/runtime" XDG_CACHE_HOME="$folder/cache"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
for run in 1 2 3; do
  QT_QPA_PLATFORM=offscreen "$build/bench/zelvo_startup_probe" "$folder"
done
