#!/usr/bin/env bash
# Measures the real program against bare reference programs in one run, the runs of each pair
# alternating, and prints the medians and their ratios:
#   - the list ready: under a private Xvfb, from exec until zelvo's window has mapped, its name
#     selector holds all 32,767 rows of its library and the echo of the load (wjmxd) is written
#     (the selector's view follows its model row by row, so the rows are there when the echo is),
#     against a bare window holding a drop-down of 32,767 names, to its map; and, for both, the
#     top-level window's MapNotify alone;
#   - memory one second after that, resident, summed over the process and its children (on a
#     loaded machine start-up alone can take a second), and three seconds after, once the work
#     the program puts off until it is idle (the station window's groups) is done;
#   - --help, --version, --import FILE and --export FILE against a bare QCoreApplication that
#     prints a version.
#   bench/compare.sh [build folder] [runs=7]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-7}"
cmake --build "$build" -j2 --target zelvo zelvo_bare_window zelvo_bare_version zelvo_launch_probe \
  >/dev/null
program="$(find "$build" -maxdepth 3 -name zelvo -type f -perm -u+x -printf '%d %p\n' | sort -n |
  head -n1 | cut -d' ' -f2-)"
[ -n "$program" ] || { echo "no zelvo program in $build" >&2; exit 1; }
probe="$build/bench/zelvo_launch_probe"
bare_window="$build/bench/zelvo_bare_window"
bare_version="$build/bench/zelvo_bare_version"

work="$(mktemp -d)"
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/results"

# The application folder is the program's own: each measured program gets a folder of its own
# with the program linked in, and whatever modules lie beside it in the build.
place_program() {
  mkdir -p "$1"
  ln "$program" "$1/zelvo" 2>/dev/null || cp "$program" "$1/zelvo"
  local module
  for module in "$(dirname "$program")"/*.so "$(dirname "$program")"/*.so.* \
    "$(dirname "$program")"/lib; do
    [ -e "$module" ] && ln -s "$module" "$1/"
  done
  return 0
}
place_program "$work/window"
place_program "$work/commands"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
def write(path, lines):
    open(path, "wb").write("".join(l + "\r\n" for l in lines).encode("gbk"))
write(f"{work}/window/tv_lib.txt",
      [f"电视台 {i},http://example.test/live/{i}.m3u8,{-i},假,假" for i in range(32767)] + ["end"])
write(f"{work}/library.txt",
      [f"电视台 {i},http://example.test/live/{i}.m3u8,-999,假,假" for i in range(20)] + ["end"])
open(f"{work}/list.m3u", "w").write(
    "#EXTM3U\n" + "".join(f"#EXTINF:-1,新台 {i}\nhttp://example.test/new/{i}.ts\n" for i in range(20)))
PY
cp "$work/library.txt" "$work/commands/tv_lib.txt"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
display=":$(cat "$work/display")"

# A run that failed (no window, a non-zero exit) is reported and left out of the medians.
record() {
  case "$2" in
    "" | -*) echo "$1: a run failed" >&2 ;;
    *) echo "$2" >>"$work/results/$1" ;;
  esac
}
window_run() {  # name [--ready FILE LINES] program...
  local name="$1"
  shift
  local ms="" kb="" map="" settled=""
  read -r ms kb map settled < <("$probe" window "$display" "$@" || true) || true
  record "start_$name" "$ms"
  record "memory_$name" "$kb"
  record "map_$name" "$map"
  record "settled_$name" "$settled"
}
zelvo_ready=(--ready "$work/window/wjmxd" 32767)
command_run() {  # key program...
  local key="$1"
  shift
  local ms
  ms="$("$probe" command "$@")" || ms=""
  record "$key" "$ms"
}

commands=("--help" "--version" "--import" "--export")

# One run of everything first to warm the caches; its figures are dropped.
"$probe" window "$display" "${zelvo_ready[@]}" "$work/window/zelvo" >/dev/null || true
"$probe" window "$display" "$bare_window" >/dev/null || true
"$probe" command "$work/commands/zelvo" --version >/dev/null || true
"$probe" command "$bare_version" >/dev/null || true

for run in $(seq "$runs"); do
  window_run zelvo "${zelvo_ready[@]}" "$work/window/zelvo"
  window_run bare "$bare_window"
  for command in "${commands[@]}"; do
    cp "$work/library.txt" "$work/commands/tv_lib.txt"  # every import adds the same stations
    arguments=("$command")
    [ "$command" = --import ] && arguments+=("$work/list.m3u")
    [ "$command" = --export ] && arguments+=("$work/out.m3u")
    command_run "command_zelvo$command" "$work/commands/zelvo" "${arguments[@]}"
    command_run "command_bare$command" "$bare_version"
  done
  echo "run $run of $runs done" >&2
done

median() { sort -n "$work/results/$1" 2>/dev/null | awk '{ v[NR] = $1 } END {
  if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
  else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
row() {  # label zelvo-key bare-key unit divisor
  awk -v label="$1" -v z="$(median "$2")" -v b="$(median "$3")" -v unit="$4" -v d="$5" 'BEGIN {
    printf "%-28s %10.1f %-3s %10.1f %-3s %6.1fx\n", label, z / d, unit, b / d, unit, z / b }'
}
echo
echo "$runs runs each, alternating; medians on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-28s %14s %14s %7s\n" "" "zelvo" "reference" "ratio"
row "the list ready" start_zelvo start_bare ms 1
row "the window mapped" map_zelvo map_bare ms 1
row "memory 1 s after ready" memory_zelvo memory_bare MB 1024
row "memory 3 s after ready" settled_zelvo settled_bare MB 1024
for command in "${commands[@]}"; do
  row "$command" "command_zelvo$command" "command_bare$command" ms 1
done
