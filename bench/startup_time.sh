#!/usr/bin/env bash
# Start-up time by hand: from launching Wendra to its main window being
# mapped, on a generated database, beside a bare sqlite3 query of every
# task's key and title on the same file. Needs xvfb, xdotool and sqlite3.
#   bench/startup_time.sh <build folder> [open tasks] [runs]
# Set ONE_LIST=1 to put every task into the first list (the list shown at start).
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
build=${1:?build folder}
tasks=${2:-100000}
runs=${3:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/Wendra" "$home/config"
db="$home/data/Wendra/wendra.dbz"
"$build/bench/make_big_database" "$db" "$tasks"
[ "${ONE_LIST:-0}" = 1 ] && sqlite3 "$db" "UPDATE item SET category='List 0'"

now() { date +%s.%N; }
measure() {
  export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
  local total=0
  for _ in $(seq "$runs"); do
    local start end
    start=$(now)
    "$build/app/wendra" &
    local pid=$!
    # Polled every 10 ms: xdotool's own --sync waits in half seconds.
    until xdotool search --onlyvisible --name '^Wendra$' >/dev/null 2>&1; do sleep 0.01; done
    end=$(now)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    total=$(echo "$total + $end - $start" | bc -l)
  done
  echo "wendra: $(echo "$total / $runs" | bc -l | cut -c1-6) s per start"
  total=0
  for _ in $(seq "$runs"); do
    local start end
    start=$(now)
    sqlite3 "$db" "SELECT pk, action FROM item" >/dev/null
    end=$(now)
    total=$(echo "$total + $end - $start" | bc -l)
  done
  echo "sqlite3: $(echo "$total / $runs" | bc -l | cut -c1-6) s per query"
}
measure
