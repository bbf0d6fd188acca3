#!/usr/bin/env bash
# Installs the Debian packages of scripts/debian-packages.txt that are not installed yet.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$here/debian-packages.txt"
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get update
  # A fresh machine lacks some 700 packages (30,000 files). dpkg then skips the sync of each file,
  # as container images do: a minute less. Only a power loss during the install could leave a
  # file unwritten; reinstalling that package mends it.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
    -o Dpkg::Options::=--force-unsafe-io "${missing[@]}"
fi
