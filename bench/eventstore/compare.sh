#!/usr/bin/env bash
# Reads one list of 10,000 tasks with our store and, side by side, lists the same tree
# with todoman (its cache warm and cold). Prints medians and ratios.
#   bench/eventstore/compare.sh [count]      (build first: scripts/build --target bench_eventstore)
# With TIDEMARK_BENCH_TSV set, the medians are also appended to that file as
# "measure<TAB>value<TAB>unit" lines, for bench/report.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TIDEMARK_BUILD_DIR:-$root/build}
count=${1:-10000}
runs=${RUNS:-5}
bench="$build/bench/eventstore/bench_eventstore"
[[ -x "$bench" ]] || { echo "missing $bench: run scripts/build --target bench_eventstore" >&2; exit 1; }
todo=$(command -v todo || command -v todoman || true)
[[ -n "$todo" ]] || { echo "todoman is not installed: apt-get install todoman" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
list="$work/calendars/bench/tasks"

python3 - "$list" "$count" <<'PY'
import os, sys
path, count = sys.argv[1], int(sys.argv[2])
os.makedirs(path, exist_ok=True)
open(os.path.join(path, "displayname"), "w").write("Tasks\n")
for i in range(count):
    with open(os.path.join(path, f"task-{i:05}.ics"), "w", newline="") as f:
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//Bench//EN\r\nBEGIN:VTODO\r\n"
                f"UID:task-{i}\r\nDTSTAMP:20300101T000000Z\r\nCREATED:20300101T000000Z\r\n"
                f"SUMMARY:Task number {i} with a longer title\r\n"
                "DTSTART;TZID=Europe/Berlin:20300101T090000\r\nDUE;TZID=Europe/Berlin:20300101T091500\r\n"
                "STATUS:NEEDS-ACTION\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Task\r\n"
                "TRIGGER;VALUE=DATE-TIME:20300101T081500Z\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
PY

cat > "$work/todoman.py" <<PY
path = "$work/calendars/*/*"
date_format = "%Y-%m-%d"
time_format = "%H:%M"
cache_path = "$work/todoman-cache.sqlite3"
PY
listing="$todo --config $work/todoman.py list"

echo "== our store: $count tasks in one list"
TIDEMARK_CALENDARS_DIR="$work/calendars" "$bench" --benchmark_repetitions="$runs" \
    --benchmark_report_aggregates_only=true --benchmark_out="$work/ours.json" --benchmark_out_format=json \
    >/dev/null

median_of() { # seconds, one per line, on stdin
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

time_runs() { # prepare-command command -> seconds per run, one per line
    local prepare=$1 command=$2
    if command -v hyperfine >/dev/null; then
        hyperfine --style none --runs "$runs" --prepare "$prepare" --export-json "$work/h.json" "$command" \
            >/dev/null
        python3 -c 'import json,sys; [print(t) for t in json.load(open(sys.argv[1]))["results"][0]["times"]]' \
            "$work/h.json"
    else
        for _ in $(seq "$runs"); do
            bash -c "$prepare"
            local start end
            start=$(date +%s.%N)
            bash -c "$command" >/dev/null
            end=$(date +%s.%N)
            echo "$end - $start" | bc -l
        done
    fi
}

echo "== todoman, cold cache (removed before each run)"
cold=$(time_runs "rm -f $work/todoman-cache.sqlite3" "$listing" | median_of)
echo "== todoman, warm cache"
$listing >/dev/null
warm=$(time_runs "true" "$listing" | median_of)

python3 - "$work/ours.json" "$cold" "$warm" "$count" "${TIDEMARK_BENCH_TSV:-}" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
cold_todoman, warm_todoman, count = float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
ours = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        ours[name] = b["real_time"] / 1000.0  # ms -> s
cold_ours = ours["BM_FetchListColdStore"]
warm_ours = ours["BM_FetchListWarmStore"]
print(f"\nmedians for one list of {count} tasks (seconds)")
print(f"  our store, new store (every file parsed)   {cold_ours:8.3f}")
print(f"  our store, same store again                {warm_ours:8.3f}")
print(f"  todoman list, cache cold                   {cold_todoman:8.3f}")
print(f"  todoman list, cache warm                   {warm_todoman:8.3f}")
print(f"ratios")
print(f"  todoman warm / our new store               {warm_todoman / cold_ours:8.1f}x")
print(f"  todoman cold / our new store               {cold_todoman / cold_ours:8.1f}x")
print(f"  todoman warm / our same store              {warm_todoman / warm_ours:8.1f}x")
goal = "met" if cold_ours < 0.3 and warm_todoman / cold_ours >= 3 else "NOT met"
print(f"goal (under 0.3 s and at least 3x faster than todoman warm): {goal}")
if sys.argv[5]:
    with open(sys.argv[5], "a") as tsv:
        for measure, value in [("our store, new store", cold_ours), ("our store, same store", warm_ours),
                               ("todoman list, cache cold", cold_todoman),
                               ("todoman list, cache warm", warm_todoman)]:
            tsv.write(f"eventstore/{measure} ({count} tasks)\t{value}\ts\n")
PY
