#!/usr/bin/env bash
# Configures (once) and builds the project into build/ (or $BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
werror=OFF
[ -n "${CI:-}" ] && werror=ON
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DWARNINGS_AS_ERRORS=$werror
fi
cmake --build "$build" -j"$(nproc)"
