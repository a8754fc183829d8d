#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop host on the demo database (created
# in the user's data folder on the first start). Extra arguments go to the host, for example:
#   scripts/run.sh --branch 0003 --operator SUPERV
#   QT_QPA_PLATFORM=offscreen scripts/run.sh --screenshot /tmp/host.png   (no display needed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR="$build" "$root/scripts/build.sh"
# The recipe form opens at start unless the caller chose what to open.
case " $* " in
  *" --open "*|*" --open="*) exec "$build/host/host" "$@" ;;
  *) exec "$build/host/host" --open CriaReceita "$@" ;;
esac
