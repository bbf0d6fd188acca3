#!/usr/bin/env bash
# Installs what is missing, builds, and starts Zelvo with its shipped station files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/zelvo"
