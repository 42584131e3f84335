#!/usr/bin/env bash
# Start-up time by hand: from launching Wendra to its main window being
# mapped, on a generated database, beside the same on a database without
# tasks, a minimal Qt window with a table (bench/bare_table), and a bare
# sqlite3 query of every open task's key and title on the same file. Needs
# xvfb, xdotool and sqlite3. The three programs take turns, run after run, so
# that a machine whose speed drifts weighs on each alike; each prints the
# median of its runs.
#   bench/startup_time.sh <build folder> [open tasks] [runs] [completed tasks]
# Set ONE_LIST=1 to put every open task into the first list (the list shown
# at start).
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  # -noreset: a server that resets as its last client leaves refuses the
  # next program that connects at that moment.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
build=${1:?build folder}
tasks=${2:-100000}
runs=${3:-15}
completed=${4:--1}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/Wendra" "$home/config"
db="$home/data/Wendra/wendra.dbz"
"$build/bench/make_big_database" "$home/empty.dbz" 0 0
"$build/bench/make_big_database" "$home/full.dbz" "$tasks" "$completed"
[ "${ONE_LIST:-0}" = 1 ] && sqlite3 "$home/full.dbz" "UPDATE item SET category='List 0' WHERE completed=0"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"

now() { date +%s%N; }
# window <file> <title> <command...>: appends the microseconds until a window
# of that title is mapped to the file.
window() {
  local file=$1 title=$2 start
  shift 2
  start=$(now)
  "$@" 2>/dev/null &
  local pid=$!
  # Polled every 5 ms: xdotool's own --sync waits in half seconds. A program
  # that ends without a window (no display) ends the measurement.
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$1 ended without a window" >&2; exit 1; }
    sleep 0.005
  done
  echo $((($(now) - start) / 1000)) >>"$home/$file"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
for _ in $(seq "$runs"); do
  cp "$home/empty.dbz" "$db"
  window empty Wendra "$build/app/wendra"
  cp "$home/full.dbz" "$db"
  window full Wendra "$build/app/wendra"
  window bare "Bare table" "$build/bench/bare_table"
  start=$(now)
  sqlite3 "$db" "SELECT pk, action FROM item WHERE category='List 0' AND completed=0 ORDER BY manualSort" >/dev/null
  echo $((($(now) - start) / 1000)) >>"$home/query"
done
median() { sort -n "$home/$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] / 1000 }'; }
echo "wendra, no tasks: $(median empty) ms to the window"
echo "wendra: $(median full) ms to the window"
echo "bare table: $(median bare) ms to the window"
echo "sqlite3, the first list: $(median query) ms per query"
