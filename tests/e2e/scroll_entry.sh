#!/usr/bin/env bash
# The scroll entry end to end: the program under Xvfb and a private D-Bus session, a fresh
# home with onboarding seen and the scroll item on (TIDEMARK_SCROLL_ENTRY=1). The pointer
# rests on the scroll item and the wheel turns 23 notches towards the user, 150 ms apart:
# the first notch opens the entry, the other 22 make 3 s each below a minute and 3 min from
# there, so 420 s.
#
#   save:   types "Call back" and Return: the local store holds it, due 420 s after its
#           start, and the scroll window is unmapped.
#   escape: a click beside the open card reaches the window beneath (xev), then Escape:
#           the scroll window is unmapped and nothing is stored.
#
#   tests/e2e/scroll_entry.sh PATH_TO_TIDEMARK save|escape
set -euo pipefail

app=${1:?usage: scroll_entry.sh PATH_TO_TIDEMARK save|escape}
mode=${2:?usage: scroll_entry.sh PATH_TO_TIDEMARK save|escape}

if [[ -z ${TIDEMARK_E2E_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session xdotool xev sqlite3; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: $tool is missing; install xvfb, dbus, xdotool, x11-utils and sqlite3 (scripts/setup)" >&2
            exit 1
        fi
    done
    export TIDEMARK_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- "$0" "$@"
fi

home=$(mktemp -d)
cleanup() {
    [[ -n ${pid:-} ]] && kill -KILL "$pid" 2>/dev/null || true
    [[ -n ${xev_pid:-} ]] && kill -KILL "$xev_pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
export XDG_CACHE_HOME=$home/cache QT_QPA_PLATFORM=xcb TIDEMARK_SCROLL_ENTRY=1
unset TIDEMARK_EXIT_WHEN_SHOWN TIDEMARK_RUNNING_FOR_PREVIEWS

fail() {
    echo "e2e: $*" >&2
    echo "--- program output" >&2
    cat "$home/out.log" >&2 || true
    exit 1
}

# Waits up to $1 seconds (in steps of 0.1 s) for the command after it to succeed.
wait_for() {
    local limit=$1
    shift
    local steps=$((limit * 10))
    for _ in $(seq 1 "$steps"); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Onboarding and what's new already seen, reminders in the local store.
mkdir -p "$XDG_CONFIG_HOME/tidemark"
cat >"$XDG_CONFIG_HOME/tidemark/com.tidemark.Tidemark.settings.json" <<'JSON'
{
    "com.tidemark.Tidemark.settings": {
        "general": { "openAtLogin": false },
        "gesture": { "dragGesturePointPerInterval": 4 },
        "logging": { "isEnabled": true, "isRedacted": false },
        "notifications": { "isEnabled": false },
        "onboarding": { "lastPresentedVersion": "999" },
        "menubar": { "countdownIsEnabled": false,
                     "progressBar": { "isEnabled": false, "opacity": 0.25 } },
        "reminders": { "automaticRemoval": { "isEnabled": false, "date": 0.0 },
                       "dataSource": "local" },
        "review": { "lastVersionPrompted": "999" },
        "whatsNew": { "lastPresentedVersion": "999" }
    }
}
JSON

if [[ $mode == escape ]]; then
    # The window beneath: it reports every press it gets.
    xev -geometry 800x600+100+300 -name "tidemark beneath" >"$home/xev.log" 2>&1 &
    xev_pid=$!
    wait_for 10 xdotool search --onlyvisible --name "tidemark beneath" || fail "xev did not map"
fi

"$app" >"$home/out.log" 2>&1 &
pid=$!

wait_for 20 xdotool search --onlyvisible --name "Tidemark status bar" || fail "no status bar"
strip=$(xdotool search --onlyvisible --name "Tidemark status bar" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$strip")"
echo "e2e: status bar at $X,$Y ${WIDTH}x$HEIGHT"
# The scroll item, made after the status item, stands leftmost in the strip.
xdotool mousemove $((X + 24)) $((Y + HEIGHT / 2))
# The window of the entry is made hidden; it shows with the first notch.
xdotool click --repeat 23 --delay 150 5

scroll_window() {
    xdotool search --onlyvisible --name "^Tidemark scroll$" | head -n 1
}
wait_for 20 test -n "$(scroll_window)" || fail "the scroll window did not show"
window=$(scroll_window)
focused() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$window" ]]
}
wait_for 20 focused || fail "the scroll window did not take the keyboard"
echo "e2e: scroll window $window has the keyboard"

unmapped() {
    [[ -z $(scroll_window) ]]
}
rows() {
    sqlite3 "$XDG_DATA_HOME/tidemark/Tidemark.sqlite" \
        "SELECT title || '|' || CAST(round(dueDate - startDate) AS INTEGER) FROM CDReminder;"
}

case $mode in
save)
    xdotool type --delay 40 "Call back"
    xdotool key Return
    wait_for 20 test -n "$(rows 2>/dev/null)" || fail "nothing was stored"
    stored=$(rows)
    [[ $stored == "Call back|420" ]] || fail "stored \"$stored\", expected \"Call back|420\""
    wait_for 20 unmapped || fail "the scroll window is still mapped after the save"
    echo "e2e: stored \"$stored\"; the scroll window is unmapped"
    ;;
escape)
    # Beside the card, over the window beneath.
    xdotool mousemove 300 700 click 1
    wait_for 10 grep -q "ButtonPress" "$home/xev.log" || fail "the click did not reach the window beneath"
    focused || fail "the click beside the card took the keyboard away"
    xdotool key Escape
    wait_for 20 unmapped || fail "the scroll window is still mapped after Escape"
    # The window goes once the card is back at rest; whatever the program would still write
    # is written by the time it has ended.
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
    count=$(sqlite3 "$XDG_DATA_HOME/tidemark/Tidemark.sqlite" "SELECT count(*) FROM CDReminder;" 2>/dev/null || echo 0)
    [[ $count == 0 ]] || fail "Escape stored $count reminder(s)"
    echo "e2e: the click reached the window beneath; Escape stored nothing"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac

if [[ -n ${pid:-} ]]; then
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
fi
