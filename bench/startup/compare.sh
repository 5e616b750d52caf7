#!/usr/bin/env bash
# Runs a program N times on a fresh virtual X display with its own D-Bus session and prints
# the median wall time and peak resident memory of those runs.
#
#   bench/startup/compare.sh [-n RUNS] [-t TIMEOUT_SECONDS] PROGRAM [ARGS...]
#
# The program must quit by itself once it is up (build/bench/startup/bench_minimal_qt does).
# Compare two programs by running the script once for each. Needs xvfb, xauth, dbus and time
# (scripts/setup installs them). With TIDEMARK_BENCH_TSV set, the two medians are also
# appended to that file as "measure<TAB>value<TAB>unit" lines named after
# TIDEMARK_BENCH_LABEL (default: the program's name), for bench/report.
set -euo pipefail

runs=10
limit=60
usage() { sed -n '5,6p' "$0" | sed 's/^# *//' >&2; exit 2; }
while getopts "n:t:h" option; do
    case $option in
        n) runs=$OPTARG ;;
        t) limit=$OPTARG ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[[ $# -ge 1 ]] || usage
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "compare.sh: RUNS must be a positive number" >&2; exit 2; }

if [[ -z ${TIDEMARK_COMPARE_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session /usr/bin/time; do
        if ! command -v "$tool" >/dev/null; then
            echo "compare.sh: $tool is missing; install xvfb, xauth, dbus and time" >&2
            exit 1
        fi
    done
    program=$(command -v "$1" || true)
    [[ -n $program ]] || { echo "compare.sh: no program $1" >&2; exit 1; }
    shift
    export TIDEMARK_COMPARE_INNER=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" \
        dbus-run-session -- "$0" -n "$runs" -t "$limit" "$program" "$@"
fi

# Inside the display and the session: run, measure, summarise.
unset TIDEMARK_COMPARE_INNER
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A home of its own, in which onboarding and what's new were seen: the application shows its
# status item and nothing else, as at every start but the first.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_STATE_HOME=$work/home/state XDG_CACHE_HOME=$work/home/cache
mkdir -p "$XDG_CONFIG_HOME/tidemark"
cat >"$XDG_CONFIG_HOME/tidemark/com.tidemark.Tidemark.settings.json" <<'JSON'
{"com.tidemark.Tidemark.settings": {
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"}}}
JSON
failures=0
: >"$work/wall"
for ((i = 1; i <= runs; i++)); do
    start=$(date +%s%N)
    if ! /usr/bin/time -v -o "$work/time.$i" timeout "$limit" "$@" >/dev/null 2>"$work/err.$i"; then
        failures=$((failures + 1))
        echo "run $i failed:" >&2
        tail -n 5 "$work/err.$i" >&2
    fi
    echo "$(( ($(date +%s%N) - start) / 1000 ))" | awk '{ printf "%.3f\n", $1 / 1e6 }' >>"$work/wall"
done
sort -n -o "$work/wall" "$work/wall"
awk -F': ' '/Maximum resident set size/ { print $2 }' "$work"/time.* | sort -n >"$work/rss"

median() { awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }' "$1"; }
echo "program:        $1"
echo "runs:           $runs ($failures failed)"
echo "median wall:    $(median "$work/wall") s"
echo "median peak RSS: $(median "$work/rss") KiB (highest $(tail -n 1 "$work/rss") KiB)"
if [[ -n ${TIDEMARK_BENCH_TSV:-} ]]; then
    label=${TIDEMARK_BENCH_LABEL:-$(basename "$1")}
    printf '%s\t%s\t%s\n' "startup/$label start-up wall" "$(median "$work/wall")" s \
        "startup/$label start-up peak RSS" "$(median "$work/rss")" KiB >>"$TIDEMARK_BENCH_TSV"
fi
[[ $failures -eq 0 ]]
