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

source "$(dirname "$0")/lib/e2e.sh"
e2e_require xev
E2E_SCREEN=1920x1080x24
e2e_begin "$@"
export TIDEMARK_SCROLL_ENTRY=1

# Quietly, for the waits: COMMAND… succeeds.
quietly() { "$@" >/dev/null 2>&1; }

# Onboarding and what's new already seen, reminders in the local store.
mkdir -p "$(dirname "$E2E_SETTINGS")"
cat >"$E2E_SETTINGS" <<'JSON'
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
    e2e_start xev xev -geometry 800x600+100+300 -name "tidemark beneath"
    e2e_wait 10 "xev mapped" e2e_shown "tidemark beneath"
fi

e2e_start app "$app"
pid=$E2E_PID

e2e_wait 20 "the status bar" e2e_shown "Tidemark status bar"
strip=$(e2e_windows "Tidemark status bar" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$strip")"
echo "e2e: status bar at $X,$Y ${WIDTH}x$HEIGHT"
# The scroll item, made after the status item, stands leftmost in the strip.
xdotool mousemove $((X + 24)) $((Y + HEIGHT / 2))
# The window of the entry is made hidden; it shows with the first notch.
xdotool click --repeat 23 --delay 150 5

scroll_window() {
    e2e_windows "^Tidemark scroll$" | head -n 1
}
e2e_wait 20 "the scroll window" e2e_shown "^Tidemark scroll$"
window=$(scroll_window)
focused() {
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$window" ]]
}
e2e_wait 20 "the scroll window taking the keyboard" quietly focused
echo "e2e: scroll window $window has the keyboard"
e2e_shot card-open

unmapped() { e2e_hidden "^Tidemark scroll$"; }
rows() {
    e2e_sql "SELECT title || '|' || CAST(round(dueDate - startDate) AS INTEGER) FROM CDReminder;"
}
stored_any() { [[ -n $(rows 2>/dev/null) ]]; }

case $mode in
save)
    xdotool type --delay 40 "Call back"
    e2e_shot titled
    xdotool key Return
    e2e_wait 20 "something stored" quietly stored_any
    stored=$(rows)
    [[ $stored == "Call back|420" ]] || e2e_fail "stored \"$stored\", expected \"Call back|420\""
    e2e_wait 20 "the scroll window unmapped after the save" unmapped
    echo "e2e: stored \"$stored\"; the scroll window is unmapped"
    ;;
escape)
    # Beside the card, over the window beneath.
    xdotool mousemove 300 700 click 1
    e2e_wait 10 "the click reaching the window beneath" grep -q "ButtonPress" "$E2E_HOME/xev.out"
    focused || e2e_fail "the click beside the card took the keyboard away"
    xdotool key Escape
    e2e_wait 20 "the scroll window unmapped after Escape" unmapped
    # The window goes once the card is back at rest; whatever the program would still write
    # is written by the time it has ended.
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
    count=$(e2e_sql "SELECT count(*) FROM CDReminder;" 2>/dev/null || echo 0)
    [[ $count == 0 ]] || e2e_fail "Escape stored $count reminder(s)"
    echo "e2e: the click reached the window beneath; Escape stored nothing"
    ;;
*)
    e2e_fail "unknown mode $mode"
    ;;
esac

if [[ -n ${pid:-} ]]; then
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
fi
