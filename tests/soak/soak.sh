#!/usr/bin/env bash
# Two workstations on one database, each polling the same answers while its
# own network simulator answers: every answer must be handled exactly once.
#
#   soak.sh WORKER COUNT sqlite|pg [PG_TEST_DIR]
#
# PostgreSQL: ORVANE_PG_CONNECTION, else PG_TEST_DIR/connection.txt (written by
# tests/support/pg-test-server.sh); without either the run is skipped (77)
# unless ORVANE_REQUIRE_PG=1.
set -euo pipefail
worker=$1 count=$2 backend=$3 pgdir=${4:-}
work=$(mktemp -d /tmp/orvane-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT

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
start=$(date +%s%N)
"$worker" work --db "$db" --log "$work/a.log" &
a=$!
"$worker" work --db "$db" --log "$work/b.log" &
b=$!
status=0
wait $a || status=1
wait $b || status=1
ms=$((($(date +%s%N) - start) / 1000000))
echo "soak ($backend): two workstations, $count requests and $count notices each way, ${ms} ms"
"$worker" check --db "$db" --log "$work/a.log" --log "$work/b.log" || status=1
exit $status
