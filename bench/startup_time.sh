#!/usr/bin/env bash
# Start-up time by hand: from launching Wendra to its main window being
# mapped, on a generated database, beside the same on a database without
# tasks, a minimal Qt window with a table (bench/bare_table), and a bare
# sqlite3 query of every open task's key and title on the same file. Needs
# xvfb, xdotool and sqlite3.
#   bench/startup_time.sh <build folder> [open tasks] [runs] [completed tasks]
# Set ONE_LIST=1 to put every open task into the first list (the list shown
# at start).
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
build=${1:?build folder}
tasks=${2:-100000}
runs=${3:-5}
completed=${4:--1}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/Wendra" "$home/config"
db="$home/data/Wendra/wendra.dbz"
"$build/bench/make_big_database" "$home/empty.dbz" 0 0
"$build/bench/make_big_database" "$home/full.dbz" "$tasks" "$completed"
[ "${ONE_LIST:-0}" = 1 ] && sqlite3 "$home/full.dbz" "UPDATE item SET category='List 0' WHERE completed=0"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"

now() { date +%s.%N; }
# window <label> <title> <command...>: mean time until a window of that title is mapped.
window() {
  local label=$1 title=$2 total=0
  shift 2
  for _ in $(seq "$runs"); do
    local start end
    start=$(now)
    "$@" &
    local pid=$!
    # Polled every 10 ms: xdotool's own --sync waits in half seconds.
    until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do sleep 0.01; done
    end=$(now)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    total=$(echo "$total + $end - $start" | bc -l)
  done
  echo "$label: $(echo "$total / $runs" | bc -l | cut -c1-6) s per start"
}
cp "$home/empty.dbz" "$db"
window "wendra, no tasks" Wendra "$build/app/wendra"
cp "$home/full.dbz" "$db"
window "wendra" Wendra "$build/app/wendra"
window "bare table" "Bare table" "$build/bench/bare_table"
total=0
for _ in $(seq "$runs"); do
  start=$(now)
  sqlite3 "$db" "SELECT pk, action FROM item WHERE category='List 0' AND completed=0 ORDER BY manualSort" >/dev/null
  end=$(now)
  total=$(echo "$total + $end - $start" | bc -l)
done
echo "sqlite3, the first list: $(echo "$total / $runs" | bc -l | cut -c1-6) s per query"
