#!/usr/bin/env bash
# Starts or stops a throw-away PostgreSQL cluster for the tests.
#
#   pg-test-server.sh start DIR   initdb a cluster in a fresh folder under /tmp
#                                 (named in DIR/datadir.txt), start it on a free
#                                 port of 127.0.0.1, create database
#                                 "orvane_test" and write the connection text to
#                                 DIR/connection.txt
#   pg-test-server.sh stop DIR    stop it and remove DIR
#
# PostgreSQL refuses to run as root, so as root the cluster runs as "postgres";
# its files live under /tmp, which that user can reach wherever the build is.
# When the server cannot be started the reason goes to DIR/error.txt and the
# script still exits 0: the PostgreSQL tests then skip and print it.
set -u

cmd=${1:-}
dir=${2:-}
if [[ -z "$cmd" || -z "$dir" ]]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bindir=""
for d in /usr/lib/postgresql/*/bin; do
  [[ -x "$d/initdb" ]] && bindir=$d
done

as_owner() {
  if [[ $(id -u) -eq 0 ]]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

fail() {
  mkdir -p "$dir"
  echo "$*" >"$dir/error.txt"
  echo "pg-test-server: $*" >&2
  exit 0
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null ||
    echo $((20000 + RANDOM % 20000))
}

case "$cmd" in
start)
  rm -rf "$dir"
  mkdir -p "$dir"
  [[ -n "$bindir" ]] || fail "no PostgreSQL server found under /usr/lib/postgresql (install the postgresql package: ./dev setup)"
  data=$(mktemp -d /tmp/orvane-pg.XXXXXX) || fail "cannot make a folder under /tmp"
  echo "$data" >"$dir/datadir.txt"
  if [[ $(id -u) -eq 0 ]]; then
    id postgres >/dev/null 2>&1 || fail "running as root, but there is no postgres user to run the server as"
    chown postgres "$data"
  fi
  as_owner "$bindir/initdb" -D "$data/data" -U postgres -A trust --no-sync -E UTF8 --locale=C \
    >"$dir/initdb.log" 2>&1 || fail "initdb failed: $(tail -3 "$dir/initdb.log")"
  port=$(free_port)
  # fsync off: a test cluster need not survive a crash, and it is much faster.
  as_owner "$bindir/pg_ctl" -D "$data/data" -l "$data/server.log" -w -t 30 \
    -o "-p $port -k $data -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off" \
    start >/dev/null 2>&1 || fail "the server did not start: $(tail -3 "$data/server.log" 2>/dev/null)"
  as_owner "$bindir/createdb" -h 127.0.0.1 -p "$port" -U postgres orvane_test \
    >"$dir/createdb.log" 2>&1 || fail "createdb failed: $(cat "$dir/createdb.log")"
  echo "QPSQL:host=127.0.0.1;port=$port;dbname=orvane_test;user=postgres" >"$dir/connection.txt"
  echo "pg-test-server: running on port $port"
  ;;
stop)
  data=$(cat "$dir/datadir.txt" 2>/dev/null || true)
  if [[ -n "$data" && -d "$data/data" && -n "$bindir" ]]; then
    as_owner "$bindir/pg_ctl" -D "$data/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  [[ "$data" == /tmp/orvane-pg.* ]] && rm -rf "$data"
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
