#!/usr/bin/env bash
# Two workstations on one database, each polling the same answers: every
# answer must be handled exactly once. The documents go out through the
# transport service to the network's stand-in server (HTTPS on 127.0.0.1 only)
# and their answers come back through the service into the staging tables.
#
#   soak.sh WORKER COUNT sqlite|pg [PG_TEST_DIR]
#
# The service and the server are looked for beside the worker's build
# (ORVANE_SOAK_APPS names their folder instead). Every ORVANE_SOAK_VIEW_EVERY-th
# (100) answer goes through the wait views. ORVANE_SOAK_NETWORK=simulator
# has each workstation run the network simulator in its own loop instead.
# PostgreSQL: ORVANE_PG_CONNECTION, else PG_TEST_DIR/connection.txt (written by
# tests/support/pg-test-server.sh); without either the run is skipped (77)
# unless ORVANE_REQUIRE_PG=1.
set -euo pipefail
worker=$1 count=$2 backend=$3 pgdir=${4:-}
apps=${ORVANE_SOAK_APPS:-$(cd "$(dirname "$worker")/../../apps" && pwd)}
network=${ORVANE_SOAK_NETWORK:-service}
seconds=${ORVANE_SOAK_SECONDS:-900}
view_every=${ORVANE_SOAK_VIEW_EVERY:-100}
work=$(mktemp -d /tmp/orvane-soak.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if [[ $backend == sqlite ]]; then
  db="QSQLITE:$work/shop.sqlite"
else
  db=${ORVANE_PG_CONNECTION:-}
  [[ -z "$db" && -n "$pgdir" && -f "$pgdir/connection.txt" ]] && db=$(cat "$pgdir/connection.txt")
  if [[ -z "$db" ]]; then
    echo "soak: no PostgreSQL test server"
    [[ ${ORVANE_REQUIRE_PG:-0} == 1 ]] && exit 1
    exit 77
  fi
  db=$("$worker" fresh --db "$db")
fi

"$worker" seed --db "$db" --count "$count"

if [[ $network == service ]]; then
  # A throw-away certificate for 127.0.0.1, the server on a free port of it.
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout "$work/key.pem" \
    -out "$work/cert.pem" -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 2>/dev/null
  "$apps/orvane/orvane" network serve --cert "$work/cert.pem" --key "$work/key.pem" \
    --credential soak-shop --listen 127.0.0.1 --port 0 --port-file "$work/port" >"$work/server.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $work/port ]] && break; sleep 0.1; done
  [[ -s $work/port ]] || { echo "soak: the network server did not start"; cat "$work/server.log"; exit 1; }
  printf '[transport]\nendpoint=https://127.0.0.1:%s\ncredential=soak-shop\ncafile=%s\n' \
    "$(cat "$work/port")" "$work/cert.pem" >"$work/transport.ini"
  printf 'database=%s\norvaneini=%s\nscan=1\nretrybase=1\nretrymax=5\n' \
    "$db" "$work/Orvane.ini" >>"$work/transport.ini"
  "$apps/orvane-transport/orvane-transport" --config "$work/transport.ini" \
    >"$work/transport.log" 2>&1 &
  pids+=($!)
fi

start=$(date +%s%N)
"$worker" work --db "$db" --log "$work/a.log" --network "$network" --seconds "$seconds" \
  --view-every "$view_every" &
a=$!
"$worker" work --db "$db" --log "$work/b.log" --network "$network" --seconds "$seconds" \
  --view-every "$view_every" &
b=$!
status=0
wait $a || status=1
wait $b || status=1
ms=$((($(date +%s%N) - start) / 1000000))
echo "soak ($backend, $network): two workstations, $count requests and $count notices each way," \
  "${ms} ms, $((count * 2 * 1000 / (ms > 0 ? ms : 1))) answers/s"
if [[ $network == service ]]; then
  # CPU seconds so far: on a shared machine the wall time says more about the load.
  cpu() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.1f", ($14 + $15) / hz }' "/proc/$1/stat"; }
  echo "soak: CPU of the server $(cpu "${pids[0]}") s, of the service $(cpu "${pids[1]}") s"
fi
"$worker" check --db "$db" --log "$work/a.log" --log "$work/b.log" || status=1
if [[ $status != 0 && $network == service ]]; then
  echo "soak: the service's last lines:"; tail -n 20 "$work/transport.log"
  echo "soak: the server's last lines:"; tail -n 20 "$work/server.log"
fi
exit $status
