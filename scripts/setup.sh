#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when they are all present.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libpq-dev libgl-dev
  libcpp-httplib-dev libssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  libqpdf-dev postgresql poppler-utils haproxy
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
