#!/usr/bin/env bash
# A trial of several application servers behind HAProxy, all on loopback:
#
#   scripts/cluster.sh start [--daemons N] [--port P] [--dir D] [--db CONNINFO]
#       a PostgreSQL with the demo database (unless --db names one), N daemons (3) on ports
#       P+1 .. P+N and HAProxy on port P (8200) with deploy/haproxy.cfg; state and logs in D
#       (/tmp/receita-cluster). The host then runs with --server 127.0.0.1:P.
#   scripts/cluster.sh daemon I [--dir D]    starts daemon I again (after it was killed)
#   scripts/cluster.sh stop [--dir D]        stops HAProxy, the daemons (SIGTERM: they answer
#                                            the calls in flight) and the PostgreSQL it started
#
# The programs come from build/ (BUILD_DIR), or APPSERVER and DEMODB name them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
appserver=${APPSERVER:-$build/appserver/appserver}
demodb=${DEMODB:-$build/db/demodb}

command=${1:-}
shift || true
index=""
if [ "$command" = daemon ]; then
  index=${1:?"daemon: which one (1, 2, ...)"}
  shift
fi
dir=/tmp/receita-cluster
daemons=3
port=8200
db=""
while [ $# -gt 0 ]; do
  case "$1" in
    --daemons) daemons=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --db) db=$2; shift 2 ;;
    *) echo "Opção desconhecida: $1" >&2; exit 2 ;;
  esac
done

as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

pg_bin() {
  ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1
}

wait_for_line() { # file text seconds
  for _ in $(seq 1 $(( $3 * 10 ))); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "Não apareceu \"$2\" em $1:" >&2
  cat "$1" >&2 || true
  return 1
}

start_daemon() { # index
  # shellcheck disable=SC1091
  . "$dir/cluster.env"
  local i=$1 log="$dir/appserver-$1.log"
  : >"$log"
  nohup "$appserver" --db "$DB" --host 127.0.0.1 --port $(( PORT + i )) --proxy 127.0.0.1 >>"$log" 2>&1 &
  echo $! >"$dir/appserver-$i.pid"
  wait_for_line "$log" "Servidor de aplicação em" 20
}

case "$command" in
  start)
    if [ -e "$dir/cluster.env" ]; then
      echo "Já há um ensaio em $dir: scripts/cluster.sh stop --dir $dir" >&2
      exit 1
    fi
    mkdir -p "$dir"
    started_pg=""
    pgdir=""
    if [ -z "$db" ]; then
      pgbin=$(pg_bin)
      pgport=$(( port + 100 ))
      # A folder of its own, which the postgres user can reach whatever holds $dir.
      pgdir=$(mktemp -d /tmp/receita-cluster-pg.XXXXXX)
      [ "$(id -u)" -eq 0 ] && chown postgres "$pgdir"
      as_postgres "$pgbin/initdb" -D "$pgdir" -A trust -U postgres >/dev/null
      as_postgres "$pgbin/pg_ctl" -D "$pgdir" -l "$pgdir/log" \
        -o "-p $pgport -k $pgdir -c listen_addresses=127.0.0.1" -w start >/dev/null
      db="host=127.0.0.1 port=$pgport user=postgres dbname=postgres"
      started_pg="$pgbin"
      "$demodb" --db "$db" >"$dir/demodb.log"
    fi
    printf 'DB=%q\nPORT=%q\nDAEMONS=%q\nPGBIN=%q\nPGDIR=%q\n' "$db" "$port" "$daemons" "$started_pg" "$pgdir" \
      >"$dir/cluster.env"
    for i in $(seq 1 "$daemons"); do
      start_daemon "$i"
    done
    # The shipped configuration, bound to this trial's port and daemons.
    sed -e "s|^\([[:space:]]*bind[[:space:]]\).*|\\1127.0.0.1:$port|" \
        -e '/^[[:space:]]*server[[:space:]]/d' -e '/^[[:space:]]*log[[:space:]]/d' \
        "$root/deploy/haproxy.cfg" >"$dir/haproxy.cfg"
    for i in $(seq 1 "$daemons"); do
      echo "    server app$i 127.0.0.1:$(( port + i ))" >>"$dir/haproxy.cfg"
    done
    haproxy=$(command -v haproxy || echo /usr/sbin/haproxy)
    "$haproxy" -q -f "$dir/haproxy.cfg" -D -p "$dir/haproxy.pid"
    echo "HAProxy em 127.0.0.1:$port diante de $daemons servidores de aplicação (portas $(( port + 1 ))-$(( port + daemons )))."
    echo "Banco: $db"
    echo "Host: build/host/host --server 127.0.0.1:$port --operator SUPERV --password 1234"
    ;;
  daemon)
    [ -e "$dir/cluster.env" ] || { echo "Nenhum ensaio em $dir." >&2; exit 1; }
    start_daemon "$index"
    ;;
  stop)
    [ -e "$dir/cluster.env" ] || { echo "Nenhum ensaio em $dir." >&2; exit 0; }
    # shellcheck disable=SC1091
    . "$dir/cluster.env"
    [ -e "$dir/haproxy.pid" ] && kill "$(cat "$dir/haproxy.pid")" 2>/dev/null || true
    for pidfile in "$dir"/appserver-*.pid; do
      [ -e "$pidfile" ] && kill -TERM "$(cat "$pidfile")" 2>/dev/null || true
    done
    for pidfile in "$dir"/appserver-*.pid; do
      pid=$(cat "$pidfile" 2>/dev/null || true)
      for _ in $(seq 1 100); do
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
    done
    if [ -n "$PGBIN" ]; then
      as_postgres "$PGBIN/pg_ctl" -D "$PGDIR" -m fast stop >/dev/null || true
      rm -rf "$PGDIR"
    fi
    rm -rf "$dir"
    echo "Ensaio parado."
    ;;
  *)
    sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
