#!/usr/bin/env bash
# What a program costs at rest: starts it on a fresh virtual X display with its own D-Bus
# session, lets it settle, then counts the voluntary context switches of all its threads
# (/proc/PID/task/*/status) over a window of time. Run it for the application and for the
# minimal Qt program to compare:
#
#   bench/startup/idle.sh [-w SECONDS] [-s SETTLE_SECONDS] PROGRAM [ARGS...]
#
#   bench/startup/idle.sh build/src/app/tidemark --launched-at-login
#   bench/startup/idle.sh build/bench/startup/bench_minimal_qt --stay
#
# The application runs in a home of its own (nothing of the user's is read), so it starts
# with nothing shown but its status item and with no reminder to count down to, provided it
# starts as at login (--launched-at-login): started by the user, it opens its popover, whose
# empty list plays a looping demonstration. With
# TIDEMARK_BENCH_TSV set, the rate is also appended to that file as a
# "measure<TAB>value<TAB>unit" line named after TIDEMARK_BENCH_LABEL, for bench/report.
set -euo pipefail

window=60
settle=3
usage() { sed -n '7,7p' "$0" | sed 's/^# *//' >&2; exit 2; }
while getopts "w:s:h" option; do
    case $option in
        w) window=$OPTARG ;;
        s) settle=$OPTARG ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[[ $# -ge 1 ]] || usage

if [[ -z ${TIDEMARK_IDLE_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "idle.sh: $tool is missing; install xvfb and dbus" >&2; exit 1; }
    done
    program=$(command -v "$1" || true)
    [[ -n $program ]] || { echo "idle.sh: no program $1" >&2; exit 1; }
    shift
    export TIDEMARK_IDLE_INNER=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- "$0" -w "$window" -s "$settle" "$program" "$@"
fi

unset TIDEMARK_IDLE_INNER TIDEMARK_EXIT_WHEN_SHOWN
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} LC_ALL=C
home=$(mktemp -d)
trap '[[ -n ${pid:-} ]] && kill -KILL "$pid" 2>/dev/null; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
export XDG_CACHE_HOME=$home/cache
# Nothing shown and nothing counted down: onboarding and what's new seen, the countdown off.
mkdir -p "$XDG_CONFIG_HOME/tidemark"
cat >"$XDG_CONFIG_HOME/tidemark/com.tidemark.Tidemark.settings.json" <<'JSON'
{"com.tidemark.Tidemark.settings": {
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"},
    "menubar": {"countdownIsEnabled": false, "progressBar": {"isEnabled": true, "opacity": 0.5}}}}
JSON

"$@" >"$home/out.log" 2>&1 &
pid=$!
sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "idle.sh: $1 ended on its own:" >&2; cat "$home/out.log" >&2; exit 1; }

# "<tid> <name> <voluntary switches>" for every thread of the process.
switches() {
    for status in /proc/"$pid"/task/*/status; do
        awk -v tid="$(basename "$(dirname "$status")")" '
            /^Name:/ { name = $2 }
            /^voluntary_ctxt_switches:/ { count = $2 }
            END { print tid, name, count }' "$status" 2>/dev/null || true
    done
}
switches | sort >"$home/before"
sleep "$window"
switches | sort >"$home/after"
threads=$(wc -l <"$home/after")

echo "program:        $1"
echo "window:         $window s after $settle s to settle; $threads threads"
join -a 2 -e 0 -o 2.1,2.2,1.3,2.3 "$home/before" "$home/after" | awk -v window="$window" '
    { delta = $4 - $3; total += delta; printf "  thread %-8s %-16s %6d switches\n", $1, $2, delta }
    END { printf "voluntary context switches: %d in %d s (%.2f per second)\n", total, window, total / window }' |
    tee "$home/summary"
if [[ -n ${TIDEMARK_BENCH_TSV:-} ]]; then
    rate=$(awk '/^voluntary context switches/ { gsub(/\(/, "", $8); print $8 }' "$home/summary")
    printf '%s\t%s\t%s\n' "startup/${TIDEMARK_BENCH_LABEL:-$(basename "$1")} idle context switches" \
        "$rate" "/s" >>"$TIDEMARK_BENCH_TSV"
fi

kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=""
