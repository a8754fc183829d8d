#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL and runs every test.
# Extra arguments go to ctest (for example: -R Dataset).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
pgdir=""
cleanup() {
  if [ -n "$pgdir" ]; then
    runuser -u postgres -- "$pgbin/pg_ctl" -D "$pgdir" -m fast stop >/dev/null 2>&1 || true
    rm -rf "$pgdir"
  fi
}
trap cleanup EXIT

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -n "$pgbin" ] && [ "$(id -u)" -eq 0 ]; then
  pgdir=$(mktemp -d /tmp/pgtest.XXXXXX)
  chown postgres "$pgdir"
  port=$(( 20000 + RANDOM % 20000 ))
  runuser -u postgres -- "$pgbin/initdb" -D "$pgdir" -A trust -U postgres >/dev/null
  runuser -u postgres -- "$pgbin/pg_ctl" -D "$pgdir" -l "$pgdir/log" \
    -o "-p $port -k $pgdir -c listen_addresses=127.0.0.1 -c fsync=off" -w start >/dev/null
  export TEST_PG_CONN="host=127.0.0.1 port=$port user=postgres dbname=postgres"
  labels=()
else
  echo "PostgreSQL not available (needs root and the server package): running without the postgres label."
  labels=(-LE postgres)
fi

cd "$build"
ctest --output-on-failure -j"$(nproc)" "${labels[@]}" "$@"
